// StopRequest: the one flag through which Ctrl+C and a time limit ask whatever runs to
// stop: a macro between its statements, and every long loop below it (reading a file,
// inserting a long text, walking a range of lines). It may be set from a signal handler
// or another thread; everything else only reads it.
#pragma once

namespace varlin {

void RequestStop();
void ClearStopRequest();
bool StopRequested();

}  // namespace varlin
