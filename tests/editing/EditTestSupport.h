// Support for the editing tests: a headless document window made from a text in which
// '|' marks the cursor, a rendering of the window back into that form, and a small
// vocabulary of action names so that test tables read as "text, actions, expected text".
#pragma once

#include "editing/EditActions.h"
#include "editing/UndoRecord.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace varlin::test {

// Options and host of one test: the margin is off and the viewport headless unless a test
// says otherwise; every question is answered Yes.
struct EditFixture : ::testing::Test {
    Options options;
    HeadlessHost host;
    std::unique_ptr<EditWindow> w = std::make_unique<EditWindow>();

    void SetUp() override {
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        host.writeMessagesToStderr = false;
        host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;
        host.Install();
        ReleaseShift();
        ForgetUndo();
    }
    void TearDown() override {
        ReleaseShift();
        w.reset();
        SetCurrentOptions(nullptr);
    }
};

// Fills the window from text: lines split at '\n', '|' marks the cursor (by character
// index; absent: line 0, first text column).
inline void Load(EditWindow& w, const std::string& marked) {
    w.doc->Clear();
    int caretLine = 0;
    int caretIndex = 0;
    std::vector<std::string> lines(1);
    for (char c : marked) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c == '|') {
            caretLine = static_cast<int>(lines.size()) - 1;
            caretIndex = static_cast<int>(lines.back().size());
        } else {
            lines.back() += c;
        }
    }
    if (!(lines.size() == 1 && lines[0].empty()))
        for (std::size_t i = 0; i < lines.size(); ++i) w.doc->SetLine(static_cast<int>(i), lines[i]);
    w.caretLine = caretLine;
    w.caretCol = IndexToColumn(w, w.doc->LineView(caretLine), caretIndex);
    w.firstLine = 0;
    w.firstCol = 0;
    w.dragKind = kDragNone;
}

// The window as text: lines joined by '\n' with '|' at the cursor. A cursor beyond the
// text shows as '~' for each empty column before it; lines past the end of the document
// on which the cursor stands show as '@' lines.
inline std::string Render(const EditWindow& w) {
    std::string out;
    const int count = w.LineCount();
    const int last = std::max(count, w.caretLine + 1);
    for (int l = 0; l < last; ++l) {
        if (l > 0) out += '\n';
        const bool virtualLine = l >= count;
        std::string t(virtualLine ? std::string_view() : w.doc->LineView(l));
        if (l == w.caretLine) {
            int i = ColumnToIndex(w, t, w.caretCol);
            int end = IndexToColumn(w, t, i);
            std::string mark = w.caretCol > end ? std::string(static_cast<std::size_t>(w.caretCol - end), '~') + "|"
                                                : (w.caretCol < end ? "|<" : "|");
            t.insert(static_cast<std::size_t>(i), mark);
        }
        out += virtualLine ? "@" + t : t;
    }
    return out;
}

// Runs a blank-separated list of actions. Words: the action names of EditActions.h, plus
// "type:TEXT" (typed characters), "Space", "Shift+" / "Shift-" (Shift down / up), "Tab",
// "ShiftTab", "Bracket", "Enter".
inline void Act(EditWindow& w, const std::string& actions) {
    static const std::map<std::string, std::function<void(EditWindow&)>> table = {
        {"PosRight", PosRight}, {"PosLeft", PosLeft}, {"LineUp", LineUp}, {"LineDown", LineDown},
        {"ItemLeft", ItemLeft}, {"ItemRight", ItemRight}, {"NextRoutine", NextRoutine},
        {"PrevRoutine", PrevRoutine}, {"LineStart", LineStart}, {"LineEnd", LineEnd},
        {"DocStart", DocStart}, {"DocEnd", DocEnd}, {"PageUp", PageUp}, {"PageDown", PageDown},
        {"PageLeft", PageLeft}, {"PageRight", PageRight}, {"DragAll", DragAll},
        {"InsertSpace", InsertSpace}, {"Backspace", Backspace}, {"Delete", Delete},
        {"InsertLine", InsertLine}, {"DeleteLine", DeleteLine}, {"DuplicateLine", DuplicateLine},
        {"TruncateLineStart", TruncateLineStart}, {"TruncateLineEnd", TruncateLineEnd},
        {"InsertLastDel", InsertLastDel}, {"Enter", Linefeed}, {"TruncateFile", TruncateFile},
        {"PushPosition", PushPosition}, {"GotoLastPushPos", GotoLastPushPos},
        {"Bracket", GotoMatchingBracket},
        {"Tab", [](EditWindow& x) { TabKey(x, TabDirection::Indent); }},
        {"ShiftTab", [](EditWindow& x) { TabKey(x, TabDirection::Outdent); }},
        {"Space", [](EditWindow& x) { InsertChar(x, ' '); }},
        {"Shift+", [](EditWindow&) { PressShift(); }},
        {"Shift-", [](EditWindow&) { ReleaseShift(); }},
    };
    std::istringstream words(actions);
    std::string word;
    while (words >> word) {
        if (word.rfind("type:", 0) == 0) {
            InsertText(w, word.substr(5));
            continue;
        }
        auto it = table.find(word);
        ASSERT_NE(it, table.end()) << "unknown action " << word;
        it->second(w);
    }
}

}  // namespace varlin::test
