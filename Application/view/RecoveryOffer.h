// RecoveryOffer: the recovery copies of a document's text (document/RecoveryCopy.h) as
// the user meets them: when a copy is due while editing, and question 1334 when a file
// (or, at start-up, a document without a name) has a copy that a run ended without
// removing. The window program drives these from its timer and its worker thread; batch
// mode never calls them, so it writes no copies.
#pragma once

#include "document/RecoveryCopy.h"
#include "editing/EditWindow.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varlin {

constexpr int kRecoveryQuestion = 1334;   // Yes: load, No: keep, Discard: delete
constexpr int kRecoveryOlderNote = 3248;  // the copy is older than the file's last save
constexpr int kRecoveryDamaged = 1336;

// Called every tick on the editing thread with the time in seconds. The snapshot to write
// when the document's text changed since its last copy and the first change not in a
// copy is `seconds` old (so steady typing is copied as well), nothing while `writing` (the
// last one is still being written) or with seconds 0. A document that reads as loaded or
// saved again has its copy removed.
std::optional<RecoverySnapshot> RecoveryDue(EditWindow& w, double now, int seconds, bool writing);

// Puts the recovered lines into w as one change against the text it holds (only the lines
// that differ are set), undoable back to that text when the undo history is on, or with
// the one undo step when a single line differs; w counts as changed.
void ApplyRecoveredText(EditWindow& w, const std::vector<std::string>& lines, bool utf8);

// After the file of w was opened: question 1334 for each of its copies. Yes loads the
// first into w (any further one into a window of its own from openUntitled), No keeps the
// copy, Discard deletes it; a damaged copy is told by message 1336 and put aside.
void OfferRecoveryCopies(EditWindow& w, const std::function<EditWindow*()>& openUntitled);

// Start-up: the copies of documents without a name, each offered by question 1334 and
// loaded on Yes into a window "Ohne Namen" from openUntitled.
void OfferUnnamedRecoveries(const std::function<EditWindow*()>& openUntitled);

}  // namespace varlin
