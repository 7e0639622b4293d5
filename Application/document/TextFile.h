// TextFile: reading a text file into a LineStore and writing a LineStore back with CR LF
// line ends, byte for byte otherwise. With LockMode on, a loaded document keeps its file
// open and locked until it is saved (then locked again) or closed. Saving never leaves a
// half-written file: the new text goes to a temporary file that replaces the old one.
#pragma once

#include "document/LeftoverBackup.h"
#include "document/LineStore.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace varlin {

constexpr int kLineCountQuestionLimit = 500000;
// Our own message: a save in place failed and the old content is kept in a backup copy.
constexpr int kBackupKeptMessage = 1215;
// Our own messages: a text-mode load stopped at a Ctrl+Z before the end of the file (file
// and byte position), and the question before a save that would drop the rest.
constexpr int kCutAtCtrlZMessage = 1260;
constexpr int kSaveCutFileQuestion = 1330;
// Our own message: a line is longer than the largest line buffer, so the file is not
// loaded (cutting the line would change the file).
constexpr int kLineTooLongMessage = 1271;
// Our own questions: the file was changed by another program since it was loaded or
// saved; before a save (overwrite?) and, with LockMode 0, on activation (reload?).
constexpr int kChangedOnDiskQuestion = 1331;
constexpr int kReloadQuestion = 1332;
// Our own question: a leftover backup of a cut save lies beside the file just opened;
// batch mode, which cannot show its text, refuses the file instead.
constexpr int kLeftoverBackupQuestion = 1333;
constexpr int kLeftoverBackupRefusal = 1269;
// Our own warning: a save reached the disk, but the file could not be locked again.
constexpr int kNotRelockedMessage = 1268;

// The content of an open file as the reader sees it (raw, or with the text translation
// applied), held in one block that the store adopts so that lines need no copies.
struct TextStream {
    TextBlock block;
    std::size_t size = 0;
    // What the bytes read held before any translation: an LF, a CR LF pair.
    bool sawLf = false;
    bool sawCrLf = false;
    // Text mode only: where a 0x1A ended the input before the end of the file, else -1.
    long long cutAtCtrlZ = -1;
    std::uint64_t hash = 0;  // of the bytes as they were in the file (ContentHash)
};

// Reads an open file to its end; translate applies the text mode: CR LF reads as LF and
// the byte 0x1A ends the input. 0, or -1 with error set to an errno value.
int ReadStream(int fd, bool translate, TextStream& stream, int& error);

// The line ends a loaded file is written back with: LF alone only when KeepLineEnds is on
// and the file held LFs but no CR LF anywhere; CR LF for everything else.
LineEnds LineEndsOfStream(const TextStream& stream, bool keepLineEnds);
const char* LineEndBytes(LineEnds ends);

// Lines of the stream: its LFs, plus one when bytes follow the last LF.
std::size_t CountLines(const TextStream& stream);

// Texts of at least bytes bytes are kept in a file-backed copy once they are loaded
// (platform/TextBlock.h), where the system finds one; 0, the start value, keeps every
// text in the program's memory. The window program turns it on for large files; batch
// mode reads each line about once, and the copy would only cost it time.
void SetFileBackedTextFrom(std::size_t bytes);

// Fills the store from the stream (question 1304 above 500,000 lines); every line stays
// whole and the store's line buffer fits the longest (message 1271 past the largest
// buffer); name is only for messages. 0 or -1.
int ReadLines(LineStore& store, TextStream& stream, const std::string& name);

// Replaces the store's text by the file name; highlight is the HighLightLang setting.
int Load(LineStore& store, const std::string& name, int highlight);

// Fills the store with the text of a leftover backup of the file name, without a name,
// the backup held by the store until the text is saved or discarded. 0 or -1.
int LoadLeftoverBackup(LineStore& store, std::unique_ptr<AdoptedBackup> backup,
                       const std::string& name, int highlight);

// Writes the whole document to name and makes it the document's name. 0 or -1.
int SaveTo(LineStore& store, const std::string& name);

// Writes lines from..to (cut to the document) to name, each ended by CR LF (or LF). 0 or -1.
int WriteRange(const LineStore& store, const std::string& name, int from, int to,
               LineEnds ends = LineEnds::CrLf, DiskIdentity* written = nullptr);

// True for a missing name or one of only characters with codes 1 to 32.
bool IsBlankFileName(std::string_view name);

// Save as: asks for a name (dialog "Speichern als") when name is blank; 1 saved, 2
// cancelled or failed. The caller sets the window title and clears the modified flag.
int SaveAs(LineStore& store, std::string_view name);

// Save: saves under the document's name, or runs SaveAs without a name when it has none.
// Only a plain save (Saved) lets the caller forget the undo record.
enum class SaveOutcome { Saved, SavedAs, Failed, Cancelled };
SaveOutcome Save(LineStore& store);

}  // namespace varlin
