// The menu enabling table: pairs of CommandId and required bits, ended by a negative id.
#include "frame/MenuEnabling.h"

namespace varlin {
namespace {

struct EnableEntry {
    int commandId;
    int required;
};

constexpr EnableEntry kEnableTable[] = {
    {13, kMenuModified},      {31, kMenuCanUndo},       {33, kMenuRangeMarked},
    {34, kMenuRangeMarked},   {37, kMenuRangeMarked},   {54, kMenuRangeMarked},
    {240, kMenuRangeMarked},  {88, kMenuNotRecording},  {89, kMenuNotRecording},
    {90, kMenuNotRecording},  {91, kMenuNotRecording},  {92, kMenuNotRecording},
    {93, kMenuNotRecording},  {73, kMenuNotRecording},  {83, kMenuNotRecording},
    {82, kMenuNotRecording},  {87, kMenuNotRecording},  {76, kMenuNotRecording},
    {402, kMenuCanRedo},
    {-1, 0},
};

}  // namespace

int ComputeMenuFlags(const MenuState& state) {
    int flags = state.recording ? 0 : kMenuNotRecording;
    if (state.documentActive) {
        flags |= kMenuDocumentActive;
        if (state.rangeMarked) flags |= kMenuRangeMarked;
        if (state.modified) flags |= kMenuModified;
        if (state.canUndo) flags |= kMenuCanUndo;
        if (state.canRedo) flags |= kMenuCanRedo;
    }
    return flags;
}

bool IsMenuItemEnabled(int commandId, int flags) {
    // Item 89 ends the recording too, so it stays enabled whatever the table says.
    if (commandId == kLearnMacroItem) return true;
    for (const EnableEntry* e = kEnableTable; e->commandId >= 0; ++e) {
        if (e->commandId == commandId) return (flags & e->required) == e->required;
    }
    return true;
}

int LearnMacroTextId(int flags) {
    return (flags & kMenuNotRecording) ? kLearnMacroOffText : kLearnMacroOnText;
}

}  // namespace varlin
