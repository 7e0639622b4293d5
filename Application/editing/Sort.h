// Sorting the marked lines of a document in byte order: the action Sort (ActionId 40),
// reached from the menu command 54 with the order asked in the sort dialog and from
// macros with the order given. The sort reorders the line store's entries and copies no
// text; it cannot be undone.
#pragma once

#include "platform/DialogHelpers.h"

#include <cstdint>

namespace varlin {

struct EditWindow;

constexpr int kSortActionId = 40;
constexpr int kSortCommandId = 54;
constexpr int kSortAscendingRadio = 2401;
constexpr int kSortDescendingRadio = 2402;

// 0 sorts ascending, any other value descending; the dialog produces only these two.
enum class SortOrder : std::int32_t { Ascending = 0, Descending = 1 };

// The record the sort dialog (DialogId::Sort, template 2400) fills in: it shows the radio
// button of `order` and writes back the chosen one when it ends with 1.
struct SortDialogRecord {
    std::int32_t order = 0;
};

// The dialog's pair table: order 0 <-> radio 2401, order 1 <-> radio 2402.
extern const LookupEntry kSortOrderRadios[];
// The radio button of an order, or -1 when no button stands for it.
int SortRadioForOrder(std::int32_t order);
// The order of the checked radio button; 2401's order when none (-1) or an unknown id.
std::int32_t SortOrderForRadio(int radioId);

// Sorts the lines of the marked range (its normalised form, every line whole). A negative
// order asks the dialog first. Forgets the undo step before anything else; beeps when the
// document is empty or nothing is marked. Once past the dialog it records itself and sets
// `modified`, also when the line store refused to sort (message 1113 for 10001 lines or
// more) or there was only one line to sort.
void Sort(EditWindow& w, std::int32_t order);

// Row 40 of the action dispatcher, Sort (Order): 0 ascending, any other value (negative
// ones included) descending, without asking. The result is always 0.
int SortAction(EditWindow& w, std::int32_t order);

// The menu command 54 "Sortieren...": asks for the order.
int CommandSort(EditWindow& w);

}  // namespace varlin
