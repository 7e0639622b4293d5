// The shipped language definition files, built into the program (the build generates the
// table from resources/languages/*.vll), so that it knows its languages wherever it runs.
#pragma once

namespace varlin {

struct BuiltinLanguageFile {
    const char* name;  // the file's name, "cpp.vll"
    const char* text;
};

// Sorted by name; ends with an entry whose name is null.
extern const BuiltinLanguageFile kBuiltinLanguageFiles[];

}  // namespace varlin
