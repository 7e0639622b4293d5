// Application: the one record that lives from start-up to exit and holds what belongs to
// the whole program rather than to one document window: the command-line files, the options,
// the language, the frame's geometry as it is persisted and the prefix state. The windows
// themselves belong to the Qt frame, which points back here.
#pragma once

#include "frame/CommandLine.h"
#include "frame/KeyTable.h"
#include "settings/Options.h"

#include <string>
#include <vector>

namespace varlin {

constexpr int kLanguageGerman = 49;
constexpr int kLanguageEnglish = 44;
constexpr int kTitleStringId = 1713;   // "Varlin"
constexpr int kMaxCaptionLength = 99;

struct Application {
    std::vector<FileSpot> commandFiles;  // the files of the command line, as the words gave them
    Options* options = nullptr;       // not owned: the program's CurrentOptions()
    int language = kLanguageGerman;
    int mainWindMax = 1;              // the frame was maximized
    int mdiWindMax = 1;               // persisted only, never used
    int mainWindHeight = 500;         // size of the frame while neither maximized nor minimized
    int mainWindWidth = 700;
    bool caretShown = false;
    int prefixState = 0;              // 0, or 2, 3, 4 while F2, F3, F4 is pending
    KeyTable keyTableF2;              // the prefix keys' tables, filled by InitApplication
    KeyTable keyTableF3;
    KeyTable keyTableF4;
    std::string programDirectory;     // the shipped files (standard button set)
    std::string userDirectory;        // files made by default (current button set); see ProgramFolders
    std::string title;                // string 1713
    std::string version;              // "4.4.0"
};

// Fills the record: title, version, options (read from the store), the geometry and the
// language of "MainWindow" and "Settings", the prefix tables with the F3 assignments of
// "KeyTableF3"; the string table switches to that language. The user's folder starts as
// the program's folder. Returns 1 on success, 2 on failure.
int InitApplication(Application& app, std::vector<FileSpot> commandFiles,
                    const std::string& programDirectory);

// Reads or writes the "MainWindow" and "Settings" values (missing values give the defaults).
void LoadWindowSettings(Application& app);
// Writes those values and the F3 assignments ("KeyTableF3") in one write of the store.
void SaveOnExit(const Application& app);

// The frame's caption: title, two blanks, version, cut to 99 characters.
std::string FrameCaption(const Application& app);

}  // namespace varlin
