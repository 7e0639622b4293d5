// Converting a 1,000,000-line document to HTML sequences, as command 302 does it. Uses:
//   bench_html --write FILE [N]   writes N (1,000,000) lines of German-looking text in
//                                 Windows-1252, about every third word with a special letter
//   bench_html --once IN OUT      reads IN, converts every line, writes OUT: the work of
//                                 a sed of the same replacements, for bench/html.sh to check
//   bench_html IN                 prints the best times of reading, converting, writing
#include "document/TextFile.h"
#include "editing/EditWindow.h"
#include "editing/HtmlCommands.h"
#include "platform/HeadlessHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

using namespace varlin;

namespace {

int WriteLines(const char* name, int count) {
    static const char* const kWords[] = {
        "der", "Stra\xDF" "e", "und", "Gr\xFC\xDF" "e", "int", "main", "caf\xE9", "&",
        "\xC4nderung", "f\xFCr", "die", "Datei", "Zeile", "sch\xF6n", "return", "value",
        "\xE0", "la", "carte", "Fa\xE7" "ade", "na\xEFve", "x", "=", "42;",
    };
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return 1;
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> word(0, static_cast<int>(std::size(kWords)) - 1);
    std::uniform_int_distribution<int> words(0, 12);
    std::string line;
    for (int i = 0; i < count; ++i) {
        line.clear();
        for (int n = words(random); n > 0; --n) {
            if (!line.empty()) line += ' ';
            line += kWords[word(random)];
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

int LoadQuietly(EditWindow& w, const char* name) {
    if (Load(*w.doc, name, 0) != 0 || w.LineCount() == 0) {
        std::fprintf(stderr, "bench_html: cannot read %s\n", name);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    HeadlessHost host;
    host.writeMessagesToStderr = false;  // the line-count question is answered Yes
    host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;
    host.Install();
    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0)
        return WriteLines(argv[2], argc > 3 ? std::atoi(argv[3]) : 1000000);
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        EditWindow w;
        if (LoadQuietly(w, argv[2])) return 1;
        if (LinesToHtml(w) != 0) return 1;
        return SaveTo(*w.doc, argv[3]) == 0 ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_html --write FILE [N] | --once IN OUT | IN\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    auto since = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
    double read = 1e9, convert = 1e9, write = 1e9;
    const std::string out = std::string(argv[1]) + ".html";
    for (int run = 0; run < 5; ++run) {
        EditWindow w;
        auto t = Clock::now();
        if (LoadQuietly(w, argv[1])) return 1;
        read = std::min(read, since(t));
        t = Clock::now();
        if (LinesToHtml(w) != 0) return 1;
        convert = std::min(convert, since(t));
        t = Clock::now();
        if (SaveTo(*w.doc, out) != 0) return 1;
        write = std::min(write, since(t));
    }
    std::remove(out.c_str());
    std::printf("%.6f %.6f %.6f\n", read, convert, write);
    return 0;
}
