// A test library for the DLL test: it writes "loaded" when the system loads it, "called
// HANDLE" when its function runs and "unloaded" when it is released, one a line, to the
// file named by VARLIN_DLLTEST_RECORD. Its second function has a name of 60 characters.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Note(const char* what, unsigned long long value = 0, bool withValue = false) {
    const char* name = std::getenv("VARLIN_DLLTEST_RECORD");
    if (!name) return;
    std::FILE* f = std::fopen(name, "a");
    if (!f) return;
    if (withValue) std::fprintf(f, "%s %llu\n", what, value);
    else std::fprintf(f, "%s\n", what);
    std::fclose(f);
}

__attribute__((constructor)) void Loaded() { Note("loaded"); }
__attribute__((destructor)) void Unloaded() { Note("unloaded"); }

}  // namespace

extern "C" __attribute__((visibility("default"))) void VarlinTestFunction(std::uintptr_t mainWindow) {
    Note("called", mainWindow, true);
}

extern "C" __attribute__((visibility("default"))) void
VarlinTestFunctionWithAVeryLongNameOfExactlySixtyCharacters1(std::uintptr_t mainWindow) {
    Note("called long", mainWindow, true);
}
