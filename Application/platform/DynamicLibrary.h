// A developer's library loaded at run time (QLibrary): loaded by the constructor,
// released by the destructor, so that a caller holds it exactly as long as it needs it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class QLibrary;

namespace varlin {

// The handle of the main window that the DLL test passes to the function it calls: the
// frame's native window id (QWidget::winId(): the HWND on Windows, the X11 window on X11),
// 0 where there is no window (batch mode). A test function is declared as
//     extern "C" void Name(std::uintptr_t mainWindow);
using VarlinWindowHandle = std::uintptr_t;
using DllTestFunction = void (*)(VarlinWindowHandle);

class DynamicLibrary {
public:
    // The name as the user typed it: a path, or a name the system's rules complete
    // ("name" finds libname.so on the library path). Case is kept.
    explicit DynamicLibrary(const std::string& fileName);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const;
    // The exported symbol, or nullptr.
    void* Find(const std::string& symbol) const;
    // Why loading failed, in the system's words (for the developer).
    std::string errorText() const;

private:
    std::unique_ptr<QLibrary> library_;
};

}  // namespace varlin
