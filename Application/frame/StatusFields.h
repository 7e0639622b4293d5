// Status fields: the ten fields of the status line (500 to 509), what each shows, its
// width and the command a click on it runs, and which fields the user wants to see and
// where the line stands. The texts are computed here from a snapshot of the program's
// state; the status line widget only shows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlin {

struct Application;
struct EditWindow;

enum StatusFieldId : int {
    kFieldLine = 500, kFieldColumn = 501, kFieldLineCount = 502, kFieldRange = 503,
    kFieldCodeTable = 504, kFieldPrefix = 505, kFieldLearn = 506, kFieldInsert = 507,
    kFieldLanguage = 508, kFieldLineEnds = 509,
};
constexpr int kFirstStatusField = 500;
constexpr int kLastStatusField = 509;
// The fields shown until the user chooses: all but the line ends.
constexpr int kLastDefaultStatusField = 508;
constexpr int kFirstFieldDefinitionId = 1800;

// What the field texts are computed from.
struct StatusInputs {
    const EditWindow* document = nullptr;  // the active document window's record, or none
    int codeTable = 0;
    int prefixState = 0;
    bool learning = false;
    bool insertMode = false;
    bool keepLineEnds = true;  // KeepLineEnds: a document's own line ends are written back
};

// The inputs as the program stands: options, prefix state, learn mode and the document.
StatusInputs CurrentStatusInputs(const Application& app, const EditWindow* document);

// The text of a field ("" for ids outside 500 to 509 and for fields with nothing to show).
std::string StatusFieldText(int field, const StatusInputs& inputs);
// The widest text a field with numbers shows (a million lines, long lines), "" for the
// others: the status line keeps room for it.
std::string WidestNumberText(int field);

// One field definition as string 1800 + n holds it: "id,0,0,0,width,command". The width
// is in sixths of the status font's average character width.
struct StatusFieldDefinition {
    int field = 0;
    int width = 0;
    int commandId = 0;   // run by a click on the field; 0 for none
};

bool ParseStatusFieldDefinition(std::string_view text, StatusFieldDefinition& definition);
// The definitions from string 1800 on, up to the first missing or malformed one.
std::vector<StatusFieldDefinition> LoadStatusFieldDefinitions();

// Where the line stands and which fields show, kept under key "Status".
enum StatusLocation : int { kStatusHidden = 0, kStatusTop = 1, kStatusBottom = 2 };

struct StatusConfig {
    int location = kStatusBottom;
    std::vector<int> shownFields;  // in field order; 500 to 508 by default
};

StatusConfig DefaultStatusConfig();
StatusConfig LoadStatusConfig();
bool SaveStatusConfig(const StatusConfig& config);
bool IsFieldShown(const StatusConfig& config, int field);

}  // namespace varlin
