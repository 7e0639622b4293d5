// A UTF-8 document: movements, marking, deleting and typing take whole characters, wide
// characters take two columns, search ignores case by Unicode folding, the clipboard
// converts between the kinds, and no action changes a byte it was not asked to.
#include "EditTestSupport.h"

#include "editing/BlockActions.h"
#include "editing/HtmlCommands.h"
#include "editing/RangeText.h"
#include "search/SearchEngine.h"
#include "textutil/Utf8.h"

#include <random>

namespace varlin {
namespace {

using test::Act;
using test::Load;
using test::Render;

struct Utf8Editing : test::EditFixture {
    void SetUp() override {
        EditFixture::SetUp();
        w->doc->utf8 = true;
    }
};

TEST_F(Utf8Editing, ActionsTakeWholeCharacters) {
    struct Case { const char* before; const char* actions; const char* after; int insertMode = 1; int buffer = 3000; } cases[] = {
        {"a|äb", "PosRight", "aä|b"},
        {"aä|b", "PosLeft", "a|äb"},
        {"|中x", "PosRight", "中|x"},
        {"中|x", "PosLeft", "|中x"},
        {"ä|ö", "Backspace", "|ö"},
        {"|äö", "Delete", "|ö"},
        {"x|\xFFy", "Delete", "x|y"},                          // an invalid byte is a character
        {"a\xC3|", "Backspace", "a|"},                         // so is a cut sequence
        {"a|\xE2\x82\xACz", "Delete", "a|z"},                  // the euro sign whole
        {"|€", "type:ä", "ä|€"},
        {"|中x", "type:a", "a|x", 0},                          // overwriting a wide character
        {"|GrüßeWelt", "ItemRight", "Grüße|Welt"},
        {"Straße Ölmühle|", "ItemLeft", "Straße |Ölmühle"},
        {"|ÄußeresÜbel", "ItemRight ItemRight", "ÄußeresÜbel|"},
        {"a|äöb", "Shift+ PosRight PosRight Shift- Delete", "a|b"},
        {"中文|x\nabcdef", "LineDown", "中文x\nabcd|ef"},
        {"ab|cdef\n中文x", "LineDown", "abcdef\n中|文x"},
        {"abc|def\n中文x", "LineDown Delete", "abcdef\n中|x"},  // on the second cell of 文
        {"abc|ä", "type:ö", "abc|ä", 1, 7},                   // 7 bytes would pass the limit
        {"ab|c", "type:ö", "abö|c", 1, 7},
    };
    for (const Case& c : cases) {
        options.InsertMode = c.insertMode;
        options.LngLineBuffer = c.buffer;
        Load(*w, c.before);
        Act(*w, c.actions);
        EXPECT_EQ(Render(*w), c.after) << c.before << " / " << c.actions;
    }
}

TEST_F(Utf8Editing, TypedCodesAndTheCharacterUnderTheCaret) {
    Load(*w, "|x");
    InsertChar(*w, 0x1F600);
    InsertChar(*w, -28);      // a Windows-1252 byte from an old recording: ä
    InsertChar(*w, 0xD800);   // a surrogate types nothing
    InsertChar(*w, 7);        // nor does a control character
    EXPECT_EQ(Render(*w), "\xF0\x9F\x98\x80ä|x");
    PosLeft(*w);
    EXPECT_EQ(GetCharacter(*w), 0xE4);
    Load(*w, "|\xFF");
    EXPECT_EQ(GetCharacter(*w), -1);
}

// Random lines of every byte value and valid sequences: whatever the cursor walks over and
// the marked ranges copied and deleted, the bytes not deleted stay, and a walk always
// stops on a character's start.
TEST_F(Utf8Editing, RandomLinesKeepEveryByteNotDeleted) {
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {"ä", "€", "中", "\xF0\x9F\x98\x80", "\xC3", "\xE2\x82", "\xED\xA0\x80", "\xC0\xAF", "\t"};
    for (int round = 0; round < 300; ++round) {
        std::string line;
        for (int k = random() % 20; k > 0; --k) {
            const int b = static_cast<int>(random() % 256);
            if (random() % 2 && b != '\n' && b != '|') line += static_cast<char>(b);
            else line += pieces[random() % pieces.size()];
        }
        Load(*w, "|" + line);
        std::string walked;
        for (int step = 0; step < 40; ++step) {
            const int before = ColumnToIndex(*w, line, w->caretCol);
            PosRight(*w);
            const int after = ColumnToIndex(*w, line, w->caretCol);
            if (after <= before) break;
            ASSERT_EQ(Utf8CharStart(line, after), std::min<int>(after, static_cast<int>(line.size()))) << round;
            walked += line.substr(before, after - before);
        }
        ASSERT_EQ(walked, line) << round;
        // Mark from a random character to the end of the line, copy and delete: the copy
        // is the rest of the line and the line keeps the characters before it.
        LineStart(*w);
        for (int k = random() % 8; k > 0; --k) PosRight(*w);
        const int cut = ColumnToIndex(*w, line, w->caretCol);
        if (cut >= static_cast<int>(line.size())) continue;
        PressShift();
        LineEnd(*w);
        ReleaseShift();
        std::string copied;
        DragRange r;
        if (GetNormalizedDrag(*w, r) == kDragMarked) {
            ASSERT_TRUE(RangeText(*w, r, copied));
            EXPECT_EQ(line.substr(cut), copied) << round;
            Delete(*w);
            EXPECT_EQ(std::string(w->doc->LineView(0)) + copied, line) << round;
        }
    }
}

TEST_F(Utf8Editing, SearchIgnoresCaseByUnicodeFolding) {
    struct Case { const char* text; const char* pattern; int caps; int index; } cases[] = {
        {"Grüße aus KÖLN", "köln", 0, 12},
        {"Grüße aus KÖLN", "köln", 1, -1},
        {"ÉCOLE", "école", 0, 0},
        {"Straße", "STRASSE", 0, -1},       // ß stays ß
        {"STRAẞE", "straße", 0, -1},        // ẞ folds to ß, but not in its own byte count
        {"жЖ", "Жж", 0, 0},
        {"x\xC4\xC3\xA4", "ä", 0, 2},       // an invalid byte before the hit
        {"aä", "\xC3", 1, 1},               // the escape notation stays byte-based
    };
    for (const Case& c : cases) {
        FindSettings s;
        s.FindString = c.pattern;
        s.CapsSens = c.caps;
        SearchPattern p;
        ASSERT_TRUE(CompilePattern(s, kCodeTableUtf8, p));
        EXPECT_EQ(FindInLine(p, c.text, 0), c.index) << c.text << " / " << c.pattern;
    }
}

TEST_F(Utf8Editing, ClipboardConvertsBetweenAnsiAndUtf8Documents) {
    Load(*w, "|Grüße\xFF");
    DragAll(*w);
    Copy(*w);
    EXPECT_EQ(host.clipboard, "Grüße\xFF");
    EditWindow ansi;
    Load(ansi, "|");
    Paste(ansi);
    EXPECT_EQ(ansi.doc->LineView(0), "Gr\xFC\xDF" "e\xFF");  // the invalid byte as it was
    ansi.dragKind = kDragNone;
    DragAll(ansi);
    Copy(ansi);
    Load(*w, "|");
    Paste(*w);
    EXPECT_EQ(w->doc->LineView(0), "Grüße" "\xC3\xBF");         // ÿ, the byte's character
}

TEST_F(Utf8Editing, HtmlSequencesTakeUtf8LettersAndLeaveTheRest) {
    Load(*w, "|Grüße \xC3 中 & é");
    LinesToHtml(*w);
    EXPECT_EQ(w->doc->LineView(0), "Gr&uuml;&szlig;e \xC3 中 & &eacute;");
    LinesFromHtml(*w);
    EXPECT_EQ(w->doc->LineView(0), "Grüße \xC3 中 & é");
}

}  // namespace
}  // namespace varlin
