// Searching and replacing in a 1,000,000-line C-like source file. Three uses:
//   bench_search --write FILE [N]     writes N (1,000,000) lines of C-like source with CR LF;
//                                     the text "needle_in_the_last_line" stands only in the
//                                     last line, "int" several times in most lines
//   bench_search --find FILE TEXT [RUNS]
//                                     loads FILE once, then times the search for TEXT from
//                                     line 0 (the search alone), with and without CapsSens;
//                                     prints the two medians in seconds
//   bench_search --replace IN OUT     Load, Replace of "int" by "long" with Mode 16 (all,
//                                     no question) from line 0, SaveTo OUT: one whole run,
//                                     timed from outside (bench/search.sh); prints the
//                                     number of lines changed and the seconds in process
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "editing/EditWindow.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "search/FindReplace.h"
#include "search/SearchEngine.h"
#include "settings/Options.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace varlin;

namespace {

constexpr const char* kNeedle = "needle_in_the_last_line";

int WriteSource(const char* name, int count) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return 1;
    const char* words[] = {"count", "buffer", "index", "length", "value", "result", "node", "point"};
    std::string line;
    for (int i = 0; i < count - 1; ++i) {
        const char* a = words[i % 8];
        const char* b = words[(i / 8) % 8];
        const std::string n = std::to_string(i);
        switch (i % 8) {
        case 0: line = "/* routine " + n + ": walks the " + a + " and the " + b + " */"; break;
        case 1: line = std::string("static int ") + a + "_" + n + "(int first, const char* text, unsigned int flags)"; break;
        case 2: line = std::string("{\t\t\t\t// ") + a + " of " + b; break;
        case 3: line = std::string("\tint ") + a + " = first * " + std::to_string(i % 97) + " + (int)" + b + ";"; break;
        case 4: line = std::string("\tfor (int i = 0; i < ") + a + "; ++i) printf(\"%d\\n\", " + b + "[i]);"; break;
        case 5: line = std::string("\t\treturn ") + a + " + " + b + " * flags;"; break;
        case 6: line = std::string("\treturn ") + a + "(first, text, " + std::to_string(i % 1000) + ");"; break;
        case 7: line = "}  /* end of " + std::string(a) + "_" + n + " */"; break;
        }
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), f);
    }
    std::fprintf(f, "/* %s */\r\n", kNeedle);
    return std::fclose(f) == 0 ? 0 : 1;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool LoadInto(EditWindow& w, const char* name) {
    if (Load(*w.doc, name, 0) != 0) {
        std::fprintf(stderr, "bench_search: cannot load %s\n", name);
        return false;
    }
    return true;
}

int TimeFind(const char* name, const char* text, int runs) {
    EditWindow w;
    if (!LoadInto(w, name)) return 1;
    double medians[2] = {0, 0};
    for (int caps = 1; caps >= 0; --caps) {
        FindSettings s;
        s.FindString = text;
        s.CapsSens = caps;
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            int line = 0;
            int col = MarginWidth(w);
            const auto start = std::chrono::steady_clock::now();
            const int found = SearchForward(s, w, line, col);
            times.push_back(Seconds(start));
            if (!found || line != w.LineCount() - 1) {
                std::fprintf(stderr, "bench_search: the text was not found in the last line\n");
                return 1;
            }
        }
        std::sort(times.begin(), times.end());
        medians[caps] = times[times.size() / 2];
    }
    std::printf("%.5f %.5f\n", medians[1], medians[0]);
    return 0;
}

int RunReplace(const char* in, const char* out) {
    const auto start = std::chrono::steady_clock::now();
    EditWindow w;
    if (!LoadInto(w, in)) return 1;
    const double load = Seconds(start);
    Replace(w, "int", "long", kModeReplaceAll);
    const double replace = Seconds(start) - load;
    if (SaveTo(*w.doc, out) != 0) return 1;
    const double all = Seconds(start);
    std::printf("%.4f %.4f %.4f %.4f\n", all, load, replace, all - load - replace);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    HeadlessHost host;
    host.writeMessagesToStderr = true;
    host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;  // "more than 500,000 lines: open?"
    host.Install();
    static Options options;
    options.LineNumbers = 0;
    SetCurrentOptions(&options);
    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0)
        return WriteSource(argv[2], argc >= 4 ? std::atoi(argv[3]) : 1000000);
    if (argc >= 4 && std::strcmp(argv[1], "--find") == 0)
        return TimeFind(argv[2], argv[3], argc >= 5 ? std::max(1, std::atoi(argv[4])) : 5);
    if (argc >= 4 && std::strcmp(argv[1], "--replace") == 0) {
        // The stored search goes to a file of its own, not to the user's settings.
        SetSettingsFile(std::string(argv[3]) + ".ini");
        return RunReplace(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: bench_search --write FILE [N] | --find FILE TEXT [RUNS] | --replace IN OUT\n");
    return 2;
}
