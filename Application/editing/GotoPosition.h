// Going to a position: the cursor of a document window moves to a 1-based line and
// display column, typed into the go-to dialog ("Sprung auf Position", command 39, F2 G)
// or given directly (macro action Goto, the routine list). The dialog itself is the
// host's (DialogId::Goto); here are its record, the rules of its fields and the rows of
// its preview, so that they hold without a window.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

struct EditWindow;

constexpr int kGotoCommandId = 39;
constexpr int kGotoLineField = 511;
constexpr int kGotoColumnField = 512;
constexpr int kGotoLineMax = 999999;
constexpr int kGotoColumnMax = 5000;
constexpr int kBadLineMessage = 1111;    // "Ungültige Zeilennummer"
constexpr int kBadColumnMessage = 1112;  // "Ungültige Spaltennummer"

// The buttons of the remembered positions, newest slot first.
constexpr int kGotoSlotButtons[4] = {501, 504, 508, 509};

// The dialog's working record for one showing: line and column on entry are the
// cursor's (line + 1, caretCol + 1); on OK the values typed.
struct GotoDialogRecord {
    std::int32_t line = 1;
    std::int32_t column = 1;
    EditWindow* window = nullptr;
    void* dialog = nullptr;  // the dialog while it is open
};

// The OK button's check of the two field texts (ValidateItemInt's rule: only digits and
// '-', within range). 0 with line and column set, or the message of the first faulty
// field (kBadLineMessage or kBadColumnMessage), whose field gets the focus.
int CheckGotoFields(const std::string& lineText, const std::string& columnText,
                    std::int32_t& line, std::int32_t& column);

// The preview's rows: the 0-based target line (the line field's number - 1; a field that
// gives no number counts as 0, so -1 marks no row) and the first line shown, which puts
// the target in the middle row (never above line 0).
struct GotoPreviewRows {
    int target = -1;
    int first = 0;
};
GotoPreviewRows GotoPreviewFor(const std::string& lineText, int rows);

// Moves the cursor to (line, column), both 1-based; both negative ask the dialog first.
// The marked range is cleared in any case, also when the dialog is cancelled. Records
// Goto with the two numbers, centres the view on the position, puts the cursor there,
// repaints and refreshes the whole status line. Lines beyond the end are accepted.
void GotoPosition(EditWindow& w, std::int32_t line, std::int32_t column);

}  // namespace varlin
