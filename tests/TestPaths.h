// The folders the tests read from and start programs in. They are known only when the
// build is configured, and are kept out of the compiled test files on purpose: a test file
// that spells out its checkout's folder compiles anew for every checkout.
//   VARLIN_TEST_DATA   the tests/ folder of the sources   (a const char*)
//   VARLIN_BINARY_DIR  the build folder                   (a const char*)
//   VARLIN_DLLTEST_LIBRARY  the library of the DLL test   (a const char*)
#pragma once

namespace varlin_test {
const char* TestsFolder();
const char* BuildFolder();
const char* DllTestLibrary();
}  // namespace varlin_test
