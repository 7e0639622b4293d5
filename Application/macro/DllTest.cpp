// The DLL test command.
#include "macro/DllTest.h"

#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/Registry.h"

namespace varlin {
namespace {

constexpr const char* kKey = "DllTest";
constexpr int kCannotLoadMessage = 1120;
constexpr int kNotFoundMessage = 1121;

std::string Cut(const std::string& text, int size) {
    return text.size() > std::size_t(size) ? text.substr(0, std::size_t(size)) : text;
}

}  // namespace

void LoadDllTestRecord(DllTestRecord& r) {
    r.dll = Korvel_ReadStringFromHKCU(kKey, "Dll", "", kDllNameMax + 1);
    r.function = Korvel_ReadStringFromHKCU(kKey, "Function", "", kDllNameMax + 1);
}

bool StoreDllTestRecord(const DllTestRecord& r) {
    RegistryBatch batch;
    Korvel_WriteStringToHKCU(kKey, "Dll", Cut(r.dll, kDllNameMax));
    Korvel_WriteStringToHKCU(kKey, "Function", Cut(r.function, kDllNameMax));
    return batch.Commit();
}

int CallDllTestFunction(VarlinWindowHandle mainWindow) {
    DllTestRecord record;
    LoadDllTestRecord(record);
    if (HostRunDialog(DialogId::DllTest, &record) != 1) return 0;
    StoreDllTestRecord(record);
    // What is used is what the store gives back, the function's name cut short.
    const std::string dll = Korvel_ReadStringFromHKCU(kKey, "Dll", "", kDllNameMax + 1);
    const std::string function = Korvel_ReadStringFromHKCU(kKey, "Function", "", kDllFunctionUsed + 1);
    DynamicLibrary library(dll);  // loaded afresh for every call, released on return
    if (!library.loaded()) {
        ShowMessage(kCannotLoadMessage, dll);
        return 0;
    }
    auto call = reinterpret_cast<DllTestFunction>(library.Find(function));
    if (call == nullptr) {
        ShowMessage(kNotFoundMessage, function);
        return 0;
    }
    call(mainWindow);
    return 1;
}

}  // namespace varlin
