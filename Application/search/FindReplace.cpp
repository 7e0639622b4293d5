// Find, FindNext and Replace: the steps around the search engine (the stored request, the
// dialogs, recording, placing the cursor); the replace loop itself is ReplaceLoop.cpp.
#include "search/FindReplace.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/Recording.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "search/ReplaceLoop.h"
#include "search/SearchEngine.h"
#include "settings/Options.h"

#include <string>

namespace varlin {
namespace {

constexpr int kNotFoundMessage = 1201;

void ShowHit(EditWindow& w, int line, int col) {
    CenterOn(w, line, col);
    SetCaret(w, line, col);
}

// The display column one character after col in line.
int ColumnAfter(const EditWindow& w, int line, int col) {
    std::string_view v = w.doc->LineView(line);
    return IndexToColumn(w, v, NextCharIndex(w, v, ColumnToIndex(w, v, col)));
}

}  // namespace

int ShowFindDialog(FindSettings& s) {
    s.DialogKind = FindDialogKind::Find;
    return HostRunDialog(DialogId::Find, &s) == 1 ? 1 : 2;
}

int ShowReplaceDialog(FindSettings& s) {
    s.DialogKind = FindDialogKind::Replace;
    return HostRunDialog(DialogId::Replace, &s) == 1 ? 1 : 2;
}

int AskReplace(FindSettings& s) {
    const int answer = HostRunDialog(DialogId::ReplaceQuestion, &s);
    return answer == kAnswerReplace || answer == kAnswerSkip ? answer : kAnswerCancel;
}

namespace {

// What Find and Replace do first: an empty document only beeps; otherwise the marked
// range goes and the stored request is loaded, with "replace all" never carried over.
bool BeginSearch(EditWindow& w, FindSettings& s) {
    if (w.LineCount() == 0) {
        HostBeep();
        return false;
    }
    ClearDrag(w);
    LoadFindSettings(s);
    s.ReplaceAll = 0;
    s.Utf8Texts = w.doc->utf8;
    return true;
}

}  // namespace

void Find(EditWindow& w, std::string_view text, std::int32_t mode) {
    FindSettings s;
    if (!BeginSearch(w, s)) return;
    if (!text.empty()) {
        s.FindString = CutFindText(std::string(text));
        ApplyMode(s, mode, ModeUse::Find);
    } else if (ShowFindDialog(s) != 1) {
        return;
    }
    // Stored first, so that a macro's search is what FindNext repeats.
    StoreFindSettings(s);
    RecordTextLong(kFindActionId, s.FindString, ModeOf(s, ModeUse::Find));
    int line = w.caretLine;
    int col = w.caretCol;
    const int found = SearchForward(s, w, line, col);
    if (found > 0) {
        ShowHit(w, line, col);
    } else {
        // A search cut short or a bad expression has said so already.
        if (found == 0) ShowMessage(kNotFoundMessage);
        ShowCaret(w);
    }
}

void FindNext(EditWindow& w) {
    if (w.LineCount() == 0) {
        HostBeep();
        return;
    }
    ClearDrag(w);
    RecordAction(kFindNextActionId);
    FindSettings s;
    LoadFindSettings(s);
    if (s.FindString.empty()) {
        HostBeep();
        return;
    }
    int line = w.caretLine;
    int col = line < w.LineCount() ? ColumnAfter(w, line, w.caretCol) : w.caretCol;
    const int found = SearchForward(s, w, line, col);
    if (found > 0)
        ShowHit(w, line, col);
    else if (found == 0)
        HostBeep();
}

void Replace(EditWindow& w, std::string_view findText, std::string_view replaceText,
             std::int32_t mode) {
    FindSettings s;
    if (!BeginSearch(w, s)) return;
    if (!findText.empty()) {
        s.FindString = CutFindText(std::string(findText));
        s.ReplaceString = CutFindText(std::string(replaceText));
        ApplyMode(s, mode, ModeUse::Replace);
    } else if (ShowReplaceDialog(s) != 1) {
        return;
    }
    RecordTwoTextsLong(kReplaceActionId, s.FindString, s.ReplaceString, ModeOf(s, ModeUse::Replace));
    StoreFindSettings(s);
    RunReplaceLoop(w, s);
}

int FindAction(EditWindow& w, const char* text, std::int32_t mode) {
    Find(w, text ? text : "", mode);
    return 0;
}

int FindNextAction(EditWindow& w) {
    FindNext(w);
    return 0;
}

int ReplaceAction(EditWindow& w, const char* findText, const char* replaceText, std::int32_t mode) {
    Replace(w, findText ? findText : "", replaceText ? replaceText : "", mode);
    return 0;
}

int CommandFind(EditWindow& w) { return FindAction(w, nullptr, 0); }
int CommandFindNext(EditWindow& w) { return FindNextAction(w); }
int CommandReplace(EditWindow& w) { return ReplaceAction(w, nullptr, nullptr, 0); }

}  // namespace varlin
