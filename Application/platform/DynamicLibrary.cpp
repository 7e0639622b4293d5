// DynamicLibrary on QLibrary.
#include "platform/DynamicLibrary.h"

#include <QLibrary>

namespace varlin {

DynamicLibrary::DynamicLibrary(const std::string& fileName)
    : library_(std::make_unique<QLibrary>(QString::fromStdString(fileName))) {
    if (!fileName.empty()) library_->load();
}

DynamicLibrary::~DynamicLibrary() {
    if (library_->isLoaded()) library_->unload();
}

bool DynamicLibrary::loaded() const { return library_->isLoaded(); }

void* DynamicLibrary::Find(const std::string& symbol) const {
    if (!loaded() || symbol.empty()) return nullptr;
    return reinterpret_cast<void*>(library_->resolve(symbol.c_str()));
}

std::string DynamicLibrary::errorText() const { return library_->errorString().toStdString(); }

}  // namespace varlin
