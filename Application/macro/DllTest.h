// The DLL test (command 76): a developer names a library and one of its functions; the
// editor loads the library afresh, calls the function with the main window's handle,
// and releases the library right after. Names are remembered under "DllTest".
#pragma once

#include "platform/DynamicLibrary.h"

#include <string>

namespace varlin {

constexpr int kDllNameMax = 511;        // characters stored of either name
constexpr int kDllFunctionUsed = 49;    // characters of the function name looked up

// The record of dialog 1000.
struct DllTestRecord {
    std::string dll;       // "DllTest"/"Dll", kept as typed (file names are case-sensitive here)
    std::string function;  // "DllTest"/"Function"
};

void LoadDllTestRecord(DllTestRecord& record);
bool StoreDllTestRecord(const DllTestRecord& record);

// The command: the dialog; after "Auf&ruf" the names are stored, read back (the function
// name cut to 49 characters), the library loaded (message 1120 when it cannot be), the
// function found (1121 with the cut name when it is not) and called with mainWindow.
// Returns 1 when the function was called, 0 otherwise.
int CallDllTestFunction(VarlinWindowHandle mainWindow);

}  // namespace varlin
