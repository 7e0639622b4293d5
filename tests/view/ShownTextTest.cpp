// The shown text of a document in UTF-16 units: what each byte reads as, the offsets of
// lines and characters, and the changes of random editing reported so that a reader who
// applies them has the document's text.
#include "editing/BlockInsert.h"
#include "editing/EditTestSupport.h"
#include "view/ShownText.h"

#include <random>

namespace varlin::test {
namespace {

using ShownTextTest = EditFixture;

std::u16string Whole(const ShownText& t) { return t.Text(0, t.Length()); }

TEST_F(ShownTextTest, CharactersAndOffsetsAsShown) {
    struct Case {
        int codeTable;
        bool utf8;
        std::string line;
        std::u16string shown;
    } cases[] = {
        {kCodeTableAnsi, false, "a\tb\xE4", u"a\tb\u00E4"},       // a tab is a tab, 228 the ANSI ä
        {kCodeTableOem, false, "\x84\xE1\x1A", u"\u00E4\u00DF\u2192"},  // OEM ä ß, byte 26 its arrow
        {kCodeTableAnsi, true, "\xC3\xA4\t\xF0\x9F\x98\x80x", u"\u00E4\t\U0001F600x"},
        {kCodeTableAnsi, true, "a\xFF" "b", u"a\u00FFb"},           // a byte of no sequence: its ANSI glyph
    };
    for (const Case& c : cases) {
        options.CodeTable = c.codeTable;
        Load(*w, "first\n" + c.line + "\n");
        w->doc->utf8 = c.utf8;
        ShownText t(*w);
        SCOPED_TRACE(c.line);
        ASSERT_EQ(t.LineCount(), 3);
        EXPECT_EQ(t.LineText(1), c.shown);
        EXPECT_EQ(t.LineStart(1), 6);
        EXPECT_EQ(t.Length(), 6 + static_cast<long long>(c.shown.size()) + 1);
        EXPECT_EQ(Whole(t), u"first\n" + c.shown + u"\n");
        EXPECT_EQ(t.LineOf(5), 0) << "the break belongs to the line it ends";
        EXPECT_EQ(t.LineOf(6), 1);
        EXPECT_EQ(t.LineOf(1000), 2);
        // Every character's byte index and unit offset lead to each other.
        const std::string_view bytes = w->doc->LineView(1);
        for (int i = 0; i <= static_cast<int>(bytes.size()); i = NextCharIndex(*w, bytes, i)) {
            EXPECT_EQ(t.ByteIndexAt(1, t.UnitsBefore(1, i)), i);
            if (i == static_cast<int>(bytes.size())) break;
        }
        EXPECT_EQ(t.UnitsBefore(1, 1000), static_cast<int>(c.shown.size()));
    }
    Load(*w, "");
    ShownText empty(*w);
    EXPECT_EQ(empty.LineCount(), 1);
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(Whole(empty), u"");
}

// After every action the reported change, applied to the text a reader had, gives the
// document's text; the offsets agree with a fresh reading; and where the changed lines
// were remembered, the removed text is the one that was there.
TEST_F(ShownTextTest, RandomEditsAreReportedExactly) {
    std::mt19937 rng(7);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int run = 0; run < 40; ++run) {
        w = std::make_unique<EditWindow>();
        w->doc->utf8 = run % 3 == 0;
        const int lines = pick(6);
        for (int i = 0; i < lines; ++i) w->doc->SetLine(i, std::string(static_cast<std::size_t>(pick(5)), "ab\t\xE4"[pick(4)]));
        ShownText t(*w);
        std::u16string reader = Whole(t);
        for (int step = 0; step < 60; ++step) {
            const bool remember = pick(2) == 0;
            if (remember) t.Remember(0, t.LineCount());
            w->caretLine = pick(w->LineCount() + 2);
            w->caretCol = pick(8);
            switch (pick(9)) {
            case 0: InsertChar(*w, "x\t\xE4"[pick(3)] & 0xFF); break;
            case 1: Backspace(*w); break;
            case 2: Delete(*w); break;
            case 3: Linefeed(*w); break;
            case 4: DeleteLine(*w); break;
            case 5: DuplicateLine(*w); break;
            case 6: InsertTextAtCursor(*w, "p\nq\r\n\nr", LineEndRule::Reader); break;
            case 7: Undo(*w); break;
            default: w->doc->TrimTail(); TruncateFile(*w); break;
            }
            const ShownText::Change c = t.Sync();
            SCOPED_TRACE(::testing::Message() << "run " << run << " step " << step);
            ASSERT_LE(c.position + static_cast<long long>(c.removed.size()), static_cast<long long>(reader.size()));
            if (remember) {
                EXPECT_EQ(reader.substr(static_cast<std::size_t>(c.position), c.removed.size()), c.removed);
            }
            reader.replace(static_cast<std::size_t>(c.position), c.removed.size(), c.inserted);
            ASSERT_EQ(reader, Whole(t));
            ShownText fresh(*w);
            ASSERT_EQ(Whole(fresh), reader);
            ASSERT_EQ(fresh.LineCount(), t.LineCount());
            for (int line = 0; line < t.LineCount(); ++line) ASSERT_EQ(t.LineStart(line), fresh.LineStart(line));
        }
    }
}

TEST_F(ShownTextTest, ANewReadingOfTheBytesReplacesTheWholeText) {
    Load(*w, "\xC3\xA4\nb");
    ShownText t(*w);
    EXPECT_EQ(Whole(t), u"\u00C3\u00A4\nb");
    w->doc->utf8 = true;
    const ShownText::Change c = t.Sync();
    EXPECT_EQ(c.position, 0);
    EXPECT_EQ(c.removed.size(), 4u);
    EXPECT_EQ(c.inserted, u"\u00E4\nb");
    EXPECT_EQ(t.Length(), 3);
}

}  // namespace
}  // namespace varlin::test
