// The frame's routing table: every id listed is an application-level command.
#include "frame/CommandRouting.h"

namespace varlin {
namespace {

struct RouteEntry {
    int commandId;
    CommandRoute route;
};

constexpr RouteEntry kFrameCommands[] = {
    {kCmdNew, CommandRoute::Frame},         {kCmdOpen, CommandRoute::Frame},
    {kCmdBrowseOpen, CommandRoute::Frame},  {kCmdExit, CommandRoute::Frame},
    {kCmdSettings, CommandRoute::Frame},    {kCmdDllTest, CommandRoute::Frame},
    {kCmdInsertMode, CommandRoute::Frame},  {kCmdCodeTable, CommandRoute::FrameThenDocument},
    {kCmdButtons, CommandRoute::Frame},     {kCmdStatusLine, CommandRoute::Frame},
    {kCmdRunMacro, CommandRoute::Frame},    {kCmdLearnMacro, CommandRoute::Frame},
    {kCmdRunLearned, CommandRoute::Frame},  {kCmdSaveLearned, CommandRoute::Frame},
    {kCmdEditLearned, CommandRoute::Frame}, {kCmdEditMacro, CommandRoute::Frame},
    {kCmdAssignKeys, CommandRoute::Frame},  {kCmdMacroList, CommandRoute::Frame},
    {kCmdLanguage, CommandRoute::Frame},    {kCmdArrangeCols, CommandRoute::Frame},
    {kCmdArrangeRows, CommandRoute::Frame}, {kCmdCascade, CommandRoute::Frame},
    {kCmdTile, CommandRoute::Frame},        {kCmdCloseAll, CommandRoute::Frame},
    {kCmdAbout, CommandRoute::Frame},       {kCmdTranslation, CommandRoute::Frame},
    {kCmdViewToggle, CommandRoute::Frame},  {kCmdCycleCode, CommandRoute::Frame},
};

}  // namespace

CommandRoute RouteOfCommand(int commandId) {
    for (const RouteEntry& e : kFrameCommands) {
        if (e.commandId == commandId) return e.route;
    }
    return CommandRoute::Document;
}

}  // namespace varlin
