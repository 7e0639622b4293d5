// Editing actions near the end of a 1,000,000-line document: each action should cost time
// in proportion to the lines it touches, never to the document. Prints the median time of
// one action for typing, Backspace, Enter, DeleteLine and cursor movements (target: under
// 50 microseconds each). There is no peer tool for this measurement.
#include "editing/EditActions.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace varlin;

namespace {

constexpr int kLines = 1000000;
constexpr int kRounds = 3000;

double MedianMicros(std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Times `action` kRounds times; `between` (not timed) restores the state in between.
double Measure(EditWindow& w, const std::function<void(EditWindow&)>& action,
               const std::function<void(EditWindow&)>& between) {
    std::vector<double> samples;
    samples.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        action(w);
        auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        if (between) between(w);
    }
    return MedianMicros(samples);
}

}  // namespace

int main() {
    HeadlessHost host;
    host.writeMessagesToStderr = false;
    host.Install();
    EditWindow w;
    const std::string text = "    int value = compute(first, second) + offset; // a typical source line";
    for (int i = 0; i < kLines; ++i) w.doc->SetLine(i, text);
    const int nearEnd = kLines - 10000;  // room for the rounds of DeleteLine
    auto home = [&](EditWindow& x) { SetCaret(x, nearEnd, MarginWidth(x) + 20); };
    home(w);

    struct Row { const char* name; double micros; };
    std::vector<Row> rows;
    rows.push_back({"InsertChar (typing)", Measure(w, [](EditWindow& x) { InsertChar(x, 'q'); },
                                                   [](EditWindow& x) { Backspace(x); })});
    rows.push_back({"Backspace", Measure(w, [](EditWindow& x) { Backspace(x); },
                                         [](EditWindow& x) { InsertChar(x, 'q'); })});
    rows.push_back({"Linefeed (Enter)", Measure(w, [](EditWindow& x) { Linefeed(x); },
                                                [](EditWindow& x) { Backspace(x); })});
    rows.push_back({"Backspace joining two lines", Measure(w, [](EditWindow& x) { Backspace(x); },
                                                           [](EditWindow& x) { Linefeed(x); })});
    rows.push_back({"DeleteLine", Measure(w, [](EditWindow& x) { DeleteLine(x); }, home)});
    rows.push_back({"InsertLine", Measure(w, [](EditWindow& x) { InsertLine(x); }, home)});
    rows.push_back({"PosRight", Measure(w, [](EditWindow& x) { PosRight(x); }, home)});
    rows.push_back({"PosLeft", Measure(w, [](EditWindow& x) { PosLeft(x); }, home)});
    rows.push_back({"LineDown", Measure(w, [](EditWindow& x) { LineDown(x); }, home)});
    rows.push_back({"LineUp", Measure(w, [](EditWindow& x) { LineUp(x); }, home)});
    rows.push_back({"ItemRight", Measure(w, [](EditWindow& x) { ItemRight(x); }, home)});
    rows.push_back({"DocEnd", Measure(w, [](EditWindow& x) { DocEnd(x); }, home)});

    std::printf("Editing actions near the end of a %d-line document (median of %d, microseconds)\n",
                kLines, kRounds);
    bool allFast = true;
    for (const Row& r : rows) {
        std::printf("  %-30s %8.2f us%s\n", r.name, r.micros, r.micros < 50.0 ? "" : "  (above 50 us)");
        allFast = allFast && r.micros < 50.0;
    }
    std::printf("target under 50 us per action: %s\n", allFast ? "met" : "NOT met");
    return 0;
}
