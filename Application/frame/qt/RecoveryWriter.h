// The window program's side of the recovery copies: a timer on the frame that asks each
// document window whether its copy is due (view/RecoveryOffer.h) and a worker thread that
// writes the snapshot, so that neither the copy's writing nor its flush to the disk holds
// up typing; at start-up the expired copies are swept and those of documents without a
// name offered.
#pragma once

namespace varlin {

class MainFrame;

// Installs the timer and its worker on the frame; the copies of documents without a name
// are offered once the event loop runs (after the command line's files are open).
void StartRecovery(MainFrame& frame);

}  // namespace varlin
