#include "settings/Options.h"

namespace varlin {

int Options::LineBufferSize() const {
    if (LngLineBuffer < 1) return 1;
    return LngLineBuffer > kMaxLineBuffer ? kMaxLineBuffer : LngLineBuffer;
}

int Options::TabStep() const {
    if (TabDistance < 2) return 2;
    return TabDistance > 1000 ? 1000 : TabDistance;
}

void SetDefaultColors(Options& options) {
    options.ColorText = MakeColor(0, 0, 0);
    options.ColorLineNumbers = MakeColor(64, 64, 64);
    options.ColorHighlight = MakeColor(255, 0, 0);
    options.ColorKeywords = MakeColor(0, 157, 0);
    options.ColorComments = MakeColor(0, 0, 255);
    options.ColorBackground = MakeColor(255, 251, 240);
}

namespace {
Options g_programOptions;
Options* g_current = nullptr;
}  // namespace

Options& CurrentOptions() { return g_current ? *g_current : g_programOptions; }
void SetCurrentOptions(Options* options) { g_current = options; }

}  // namespace varlin
