// Benchmark of the macro interpreter: a counting loop of ten million rounds, timed from
// reading the script to its end, with an abort callback asked as often as the editor's
// is. Prints the seconds; bench/interpreter.sh sets them beside its whole processes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Interpreter/MacroLib.h"

namespace {

int32_t polls = 0;

int32_t NeverAbort() {
    ++polls;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    long rounds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000000;
    std::string script = "Macro \"Benchmark\"\nvar i;\nbegin\n  i := 0;\n  while i < " +
                         std::to_string(rounds) + " do i := i + 1; end;\nend\n";
    static const MacroCommand noCommands[] = {{nullptr, 0, nullptr, nullptr}};
    MacroLibError error{};
    MacroLibInstance instance{};
    instance.Version = MACROLIB_VERSION;
    instance.Error = &error;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto start = std::chrono::steady_clock::now();
        int32_t result = MacroLib_RunText(&instance, nullptr, "bench", script.data(), script.size(),
                                          noCommands, nullptr, NeverAbort, nullptr);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result != MACROLIB_OK) {
            std::fprintf(stderr, "bench_interpreter: %s\n", error.Text);
            return 1;
        }
        if (seconds < best)
            best = seconds;
    }
    std::printf("%.4f\n", best);
    return polls > 0 ? 0 : 1;
}
