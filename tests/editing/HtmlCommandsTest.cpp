// The HTML commands over a document: every line converted, none ever cut or lost when
// its converted form would not fit the line work buffer, and the window's cursor, range,
// undo step and recording left alone.
#include "EditTestSupport.h"

#include "editing/HtmlCommands.h"

#include <string>
#include <vector>

namespace varlin::test {
namespace {

struct HtmlFixture : EditFixture {
    void SetLines(const std::vector<std::string>& lines) {
        w->doc->Clear();
        for (std::size_t i = 0; i < lines.size(); ++i) w->doc->SetLine(static_cast<int>(i), lines[i]);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < w->LineCount(); ++i) out.emplace_back(w->doc->LineView(i));
        return out;
    }
};

TEST_F(HtmlFixture, BothCommandsLineByLine) {
    const struct {
        const char* name;
        int (*command)(EditWindow&);
        std::vector<std::string> before, after;
    } cases[] = {
        {"302", LinesToHtml,
         {"Gr\xFC\xDF" "e", "a & b", "caf\xE9", "", "&Eacute; \xC9"},
         {"Gr&uuml;&szlig;e", "a & b", "caf&eacute;", "", "&Eacute; \xC9"}},
        {"301", LinesFromHtml,
         {"Gr&uuml;&szlig;e", "a &amp; b", "caf&eacute;", "&Eacute;", "&AUML; &auml"},
         {"Gr\xFC\xDF" "e", "a & b", "caf\xE9", "&Eacute;", "&AUML; &auml"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLines(c.before);
        w->modified = 0;
        EXPECT_EQ(c.command(*w), 0);
        EXPECT_EQ(Lines(), c.after);
        EXPECT_EQ(w->modified, 1);
    }
}

TEST_F(HtmlFixture, RunningToHtmlTwiceEqualsOnce) {
    SetLines({"\xC4pfel & Birnen", "Stra\xDF" "e &amp; Weg", "na\xEFve"});
    LinesToHtml(*w);
    const std::vector<std::string> once = Lines();
    LinesToHtml(*w);
    EXPECT_EQ(Lines(), once);
}

TEST_F(HtmlFixture, PlainDocumentIsFlaggedModifiedButUnchanged) {
    SetLines({"int main()", "{", "}"});
    w->doc->SetNullLine(4);
    for (auto command : {LinesToHtml, LinesFromHtml}) {
        w->modified = 0;
        command(*w);
        EXPECT_EQ(Lines(), (std::vector<std::string>{"int main()", "{", "}", "", ""}));
        EXPECT_TRUE(w->doc->IsNullLine(4)) << "an untouched line is not rewritten";
        EXPECT_EQ(w->modified, 1);
    }
}

TEST_F(HtmlFixture, LineWhoseConvertedFormDoesNotFitStaysWhole) {
    options.LngLineBuffer = 20;  // lines of at most 19 characters
    const std::string fits = std::string(13, 'x') + "\xE4";        // 13 + 6 = 19
    const std::string tooLong = std::string(14, 'x') + "\xE4";     // 14 + 6 = 20
    const std::string stored = std::string(30, 'y') + "&amp;";     // longer than the buffer
    SetLines({fits, tooLong, "\xFC", stored});
    LinesToHtml(*w);
    EXPECT_EQ(Lines(), (std::vector<std::string>{std::string(13, 'x') + "&auml;", tooLong, "&uuml;", stored}));
    // Reading back makes the stored line shorter, but still beyond what an action may
    // edit: it stays whole rather than being cut to the buffer.
    LinesFromHtml(*w);
    EXPECT_EQ(Lines(), (std::vector<std::string>{fits, tooLong, "\xFC", stored}));
    EXPECT_TRUE(host.messageIds.empty());
}

TEST_F(HtmlFixture, LeavesCursorRangeUndoAndRecordingAlone) {
    Load(*w, "ab\xE4\ncd|\xF6");
    StartDrag(*w, kDragMarked, 0, 1, 1, 1);
    const int caretLine = w->caretLine, caretCol = w->caretCol;
    SaveLineForUndo(*w, "before");
    const int undoKind = GetUndoKind();
    LinesToHtml(*w);
    EXPECT_EQ(w->doc->LineView(1), "cd&ouml;");
    EXPECT_EQ(w->caretLine, caretLine);
    EXPECT_EQ(w->caretCol, caretCol);
    EXPECT_EQ(w->dragKind, kDragMarked);
    EXPECT_EQ(w->ToLine, 1);
    EXPECT_EQ(GetUndoKind(), undoKind);
    EXPECT_EQ(host.beeps, 0);
}

TEST_F(HtmlFixture, BytesAfterANulInALineSurvive) {
    SetLines({std::string("a\0\xE4", 3)});
    LinesToHtml(*w);
    EXPECT_EQ(w->doc->LineView(0), std::string_view("a\0&auml;", 8));
    LinesFromHtml(*w);
    EXPECT_EQ(w->doc->LineView(0), std::string_view("a\0\xE4", 3));
}

}  // namespace
}  // namespace varlin::test
