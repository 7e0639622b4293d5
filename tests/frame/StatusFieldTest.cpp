// The status line's texts for the cases users read most (column with and without the
// line-number margin, marked ranges, no document, the pending prefix), its field
// definitions, its stored configuration, and the frame layout that places it.
#include "document/Language.h"
#include "editing/EditTestSupport.h"
#include "frame/Application.h"
#include "frame/FrameLayout.h"
#include "frame/OptionToggles.h"
#include "frame/StatusFields.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

namespace varlin {
namespace {

using test::EditFixture;
using test::Act;
using test::Load;

struct StatusTextTest : EditFixture {
    StatusInputs in;
    void SetUp() override {
        EditFixture::SetUp();
        in.document = w.get();
    }
    std::string Text(int field) { return StatusFieldText(field, in); }
};

TEST_F(StatusTextTest, FirstTextColumnIsOneWithAndWithoutLineNumbers) {
    for (int numbers : {0, 1}) {
        options.LineNumbers = numbers;
        Load(*w, "|abc\ndef");
        EXPECT_EQ(Text(501), "Spalte 1") << numbers;
        Act(*w, "PosRight PosRight");
        EXPECT_EQ(Text(501), "Spalte 3") << numbers;
    }
}

TEST_F(StatusTextTest, LineAndLineCount) {
    Load(*w, "a\nb\n|c");
    EXPECT_EQ(Text(500), "Zeile 3");
    EXPECT_EQ(Text(502), "Zeilen 3");
}

TEST_F(StatusTextTest, MarkedRangeIsShownInOrderCountedFromOne) {
    for (int numbers : {0, 1}) {
        options.LineNumbers = numbers;
        Load(*w, "0123456789\n0123456789\n0123456789\n0123456789\n0123456789\n0123456789\n0123456789");
        EXPECT_EQ(Text(503), "Keine Markierung");
        SetDragFromMacro(*w, 3, 5, 7, 1);
        EXPECT_EQ(Text(503), "3/5 bis 7/1") << numbers;
        if (numbers) {
            // Whole lines marked from the margin start at the first text column, not at 0,
            // and end, like whole lines drawn with the keys, at the start of the next line.
            w->dragKind = kDragMarked;
            w->FromLine = 1, w->FromCol = 0, w->ToLine = 3, w->ToCol = 0;
            EXPECT_EQ(Text(503), "2/1 bis 5/1");
        }
        // Drawn with the keys, a range ends where the cursor went: a range that takes its
        // last line's break ends at the start of the next line, not at the internal
        // "to the line end" column.
        const struct { const char* keys; const char* shown; } drawn[] = {
            {"Shift+ LineDown LineDown Shift-", "1/1 bis 3/1"},
            {"Shift+ LineEnd Shift-", "1/1 bis 1/10"},
            {"PosRight PosRight Shift+ LineDown PosRight Shift-", "1/3 bis 2/3"},
        };
        for (const auto& d : drawn) {
            Load(*w, "|0123456789\n0123456789\n0123456789");
            Act(*w, d.keys);
            EXPECT_EQ(Text(503), d.shown) << d.keys << " numbers " << numbers;
        }
    }
}

TEST_F(StatusTextTest, WithoutDocumentOnlyTheProgramWideFieldsShow) {
    in.document = nullptr;
    in.codeTable = 2;
    in.insertMode = true;
    for (int field : {500, 501, 502, 503}) EXPECT_EQ(Text(field), "") << field;
    EXPECT_EQ(Text(504), "Code ANSI");
    EXPECT_EQ(Text(507), "INS");
    EXPECT_EQ(Text(508), "Text");
}

TEST_F(StatusTextTest, ProgramWideFields) {
    struct Case {
        int field;
        StatusInputs in;
        std::string text;
    } cases[] = {
        {504, {nullptr, 1, 0, false, false}, "Code ASCII"}, {504, {nullptr, 2, 0, false, false}, "Code ANSI"},
        {504, {nullptr, 0, 0, false, false}, ""},           {505, {nullptr, 0, 2, false, false}, "F2"},
        {505, {nullptr, 0, 3, false, false}, "F3"},         {505, {nullptr, 0, 4, false, false}, "F4"},
        {505, {nullptr, 0, 0, false, false}, ""},           {506, {nullptr, 0, 0, true, false}, "LRN"},
        {506, {nullptr, 0, 0, false, false}, ""},           {507, {nullptr, 0, 0, false, true}, "INS"},
        {507, {nullptr, 0, 0, false, false}, ""},           {499, {nullptr, 1, 2, true, true}, ""},
        {509, {nullptr, 1, 2, true, true}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(StatusFieldText(c.field, c.in), c.text) << c.field;
}

TEST_F(StatusTextTest, CodeFieldShowsAUtf8DocumentAndItsClickCycles) {
    options.CodeTable = kCodeTableAnsi;
    std::vector<std::string> seen;
    for (int click = 0; click < 4; ++click) {
        in.codeTable = options.CodeTable;
        seen.push_back(Text(504));
        CycleCodeTable(options, w.get());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Code ANSI", "Code ASCII", "Code UTF-8", "Code ANSI"}));
    CycleCodeTable(options, nullptr);  // without a document ASCII goes back to ANSI
    EXPECT_EQ(options.CodeTable, kCodeTableAnsi);
    EXPECT_FALSE(w->doc->utf8);
}

TEST_F(StatusTextTest, LanguageLabelOfTheDocument) {
    options.HighLightLang = 1;
    for (auto [name, label] : {std::pair{"A.java", "Java"}, {"u.pas", "Delphi"}, {"m.c", "C/C++"},
                              {"s.py", "Python"}}) {
        w->doc->SetFileName(name);
        SelectLanguage(*w->doc, 1);
        EXPECT_EQ(Text(508), label) << name;
    }
}

TEST_F(StatusTextTest, CurrentInputsReadThePrefixAndOptions) {
    Application app;
    app.options = &options;
    options.CodeTable = 1;
    options.InsertMode = 0;
    app.prefixState = 2;
    StatusInputs current = CurrentStatusInputs(app, nullptr);
    EXPECT_EQ(StatusFieldText(505, current), "F2");
    EXPECT_EQ(StatusFieldText(504, current), "Code ASCII");
    EXPECT_EQ(StatusFieldText(507, current), "");
}

TEST_F(StatusTextTest, LineEndsShowWhatASaveWrites) {
    EXPECT_EQ(Text(509), "CRLF");  // a new document
    w->doc->lineEnds = LineEnds::Lf;
    EXPECT_EQ(Text(509), "LF");
    in.keepLineEnds = false;
    EXPECT_EQ(Text(509), "CRLF");
    in.document = nullptr;
    EXPECT_EQ(Text(509), "");
}

TEST(StatusFieldDefinitions, TheTenFieldsWithWidthsAndCommands) {
    std::vector<StatusFieldDefinition> d = LoadStatusFieldDefinitions();
    ASSERT_EQ(d.size(), 10u);
    const int widths[] = {85, 85, 85, 160, 70, 20, 30, 30, 70, 40};
    const int commands[] = {39, 39, 0, 0, 406, 0, 89, 79, 410, 0};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(d[std::size_t(i)].field, 500 + i);
        EXPECT_EQ(d[std::size_t(i)].width, widths[i]);
        EXPECT_EQ(d[std::size_t(i)].commandId, commands[i]);
    }
}

TEST(StatusFieldDefinitions, MalformedTextsAreRefused) {
    StatusFieldDefinition d;
    EXPECT_TRUE(ParseStatusFieldDefinition(" 501, 0,0,0, 85 ,39", d));
    EXPECT_EQ(d.commandId, 39);
    for (const char* bad : {"", "500,0,0,0,85", "500,0,0,0,85,39,1", "500,0,0,0,85,39,", "x,0,0,0,85,39",
                            "500,0,0,0,-5,39", "500;0;0;0;85;39", "500,0,0,0,85,39x"}) {
        EXPECT_FALSE(ParseStatusFieldDefinition(bad, d)) << bad;
    }
}

struct StatusConfigTest : ::testing::Test {
    test::TestFolder folder;
    void SetUp() override { SetSettingsFile(folder.File("settings.ini")); }
    void TearDown() override { SetSettingsFile(""); }
};

TEST_F(StatusConfigTest, SavedChoiceComesBack) {
    // Nothing stored: every field but the line ends (509), which is chosen by hand.
    EXPECT_EQ(LoadStatusConfig().shownFields, (std::vector<int>{500, 501, 502, 503, 504, 505, 506, 507, 508}));
    StatusConfig c;
    c.location = kStatusTop;
    c.shownFields = {500, 505, 508, 509};
    ASSERT_TRUE(SaveStatusConfig(c));
    StatusConfig back = LoadStatusConfig();
    EXPECT_EQ(back.location, kStatusTop);
    EXPECT_EQ(back.shownFields, c.shownFields);
    c.shownFields.clear();  // every field hidden is a choice too, not a missing value
    SaveStatusConfig(c);
    EXPECT_TRUE(LoadStatusConfig().shownFields.empty());
}

TEST_F(StatusConfigTest, BadStoredValuesAreSkipped) {
    Korvel_WriteStringToHKCU("Status", "Fields", "507, x,999,501,501,,500");
    Korvel_WriteLongToHKCU("Status", "Location", 7);
    StatusConfig c = LoadStatusConfig();
    EXPECT_EQ(c.shownFields, (std::vector<int>{500, 501, 507}));
    EXPECT_EQ(c.location, kStatusBottom);
}

// ---- LayoutFrame ---------------------------------------------------------------------

struct LayoutCase {
    const char* name;
    int statusLocation;
    int buttonsLocation;
    LayoutRect status, buttons, client;
};

TEST(FrameLayout, AreasForEveryPlaceOfTheBars) {
    // Client area 800 x 600 at (0, 20); status line 24 high; the bar 30 thick.
    const LayoutCase cases[] = {
        {"both at the top", 1, 3, {0, 20, 800, 24}, {0, 44, 800, 30}, {0, 74, 800, 546}},
        {"status bottom, bar top", 2, 3, {0, 596, 800, 24}, {0, 20, 800, 30}, {0, 50, 800, 546}},
        {"status top, bar bottom", 1, 4, {0, 20, 800, 24}, {0, 590, 800, 30}, {0, 44, 800, 546}},
        {"bar left within the status line's rest", 2, 1, {0, 596, 800, 24}, {0, 20, 30, 576}, {30, 20, 770, 576}},
        {"bar right", 1, 2, {0, 20, 800, 24}, {770, 44, 30, 576}, {0, 44, 770, 576}},
        {"both hidden", 0, 0, {0, 20, 800, 0}, {0, 20, 800, 0}, {0, 20, 800, 600}},
        {"unknown bar place hides it", 2, 9, {0, 596, 800, 24}, {0, 20, 800, 0}, {0, 20, 800, 576}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool askedVertical = false;
        int askedLength = 0;
        FrameAreas a = LayoutFrameAreas({0, 20, 800, 600}, c.statusLocation, 24, c.buttonsLocation,
                                        [&](bool vertical, int length) {
                                            askedVertical = vertical;
                                            askedLength = length;
                                            return 30;
                                        });
        EXPECT_EQ(a.status, c.status);
        EXPECT_EQ(a.buttons, c.buttons);
        EXPECT_EQ(a.client, c.client);
        if (c.buttonsLocation == 1 || c.buttonsLocation == 2) {
            EXPECT_TRUE(askedVertical);
            EXPECT_EQ(askedLength, c.client.height);  // arranged for what the status line left
        }
    }
}

TEST(FrameLayout, TinyFrameNeverGivesNegativeSizes) {
    FrameAreas a = LayoutFrameAreas({0, 0, 20, 10}, 2, 24, 1, [](bool, int) { return 30; });
    for (const LayoutRect& r : {a.status, a.buttons, a.client}) {
        EXPECT_GE(r.width, 0);
        EXPECT_GE(r.height, 0);
    }
    EXPECT_EQ(a.status.height, 10);
    EXPECT_EQ(a.client.width, 0);
}

}  // namespace
}  // namespace varlin
