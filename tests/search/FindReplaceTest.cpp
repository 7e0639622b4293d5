// Find, FindNext and Replace as commands: where the cursor ends, what is stored, what is
// asked and shown, the replace loop's answers, Escape and overflow, and what learn mode
// writes for them.
#include "search/SearchTestSupport.h"

#include "editing/Recording.h"
#include "platform/TempFiles.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace varlin {
namespace {

using test::Load;
using test::Render;

struct Commands : test::SearchFixture {};

constexpr int kYes = 2301;
constexpr int kNo = 2302;
constexpr int kAll = 2303;
constexpr int kCancel = 2;

// ---- Find and FindNext -----------------------------------------------------------------

TEST_F(Commands, FindOnAHitStaysAndFindNextMovesOn) {
    Load(*w, "x |ab ab\nab");
    Find(*w, "ab", 0);
    EXPECT_EQ(Render(*w), "x |ab ab\nab");
    FindNext(*w);
    EXPECT_EQ(Render(*w), "x ab |ab\nab");
    FindNext(*w);
    EXPECT_EQ(Render(*w), "x ab ab\n|ab");
    // No wrap-around: the last hit stays, only a beep.
    FindNext(*w);
    EXPECT_EQ(Render(*w), "x ab ab\n|ab");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(w->dragKind, kDragNone);  // nothing is marked
}

TEST_F(Commands, FindWithoutHitShowsTheMessageAndKeepsTheCursor) {
    Load(*w, "ab\nc|d");
    Find(*w, "ab", 0);
    EXPECT_EQ(Render(*w), "ab\nc|d");
    EXPECT_EQ(host.messageIds, std::vector<int>{1201});
    EXPECT_TRUE(IsCaretShown());
}

TEST_F(Commands, FindStoresTheRequestThatFindNextRepeats) {
    Load(*w, "|Ab ab AB");
    Find(*w, "AB", 1 | 16 | 64);  // bits other than 1, 2 and 4 are ignored
    EXPECT_EQ(Render(*w), "Ab ab |AB");
    FindSettings stored = Stored();
    EXPECT_EQ(stored.FindString, "AB");
    EXPECT_EQ(stored.CapsSens, 1);
    EXPECT_EQ(stored.StartOfLine, 0);
    Load(*w, "|Ab ab AB");
    FindNext(*w);
    EXPECT_EQ(Render(*w), "Ab ab |AB");
}

TEST_F(Commands, FindCentresTheViewOnTheHit) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += (i == 150 ? "target\n" : "line\n");
    Load(*w, text);
    Find(*w, "target", 0);
    EXPECT_EQ(w->caretLine, 150);
    EXPECT_EQ(w->firstLine, 150 - kHeadlessViewLines / 2);
}

TEST_F(Commands, EmptyDocumentOnlyBeeps) {
    Find(*w, "x", 0);
    FindNext(*w);
    Replace(*w, "x", "y", 16);
    EXPECT_EQ(host.beeps, 3);
    EXPECT_TRUE(host.dialogsWanted.empty());
    EXPECT_EQ(Stored().FindString, "");
}

TEST_F(Commands, FindNextWithoutStoredTextBeeps) {
    Load(*w, "abc");
    FindNext(*w);
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(Commands, FindWithoutTextAsksTheDialogAndCancelChangesNothing) {
    Load(*w, "|abc");
    Find(*w, "", 0);  // no answer queued: cancelled, as in batch mode
    EXPECT_EQ(host.dialogsWanted, std::vector<DialogId>{DialogId::Find});
    EXPECT_EQ(Stored().FindString, "");
    AnswerDialog(1, [](DialogId id, FindSettings& s) {
        EXPECT_EQ(id, DialogId::Find);
        EXPECT_EQ(s.DialogKind, FindDialogKind::Find);
        s.FindString = "C";
    });
    Find(*w, "", 0);
    EXPECT_EQ(Render(*w), "ab|c");
    EXPECT_EQ(Stored().FindString, "C");
}

// ---- Replace ---------------------------------------------------------------------------

struct ReplaceAllCase {
    const char* name;
    const char* text;
    const char* find;
    const char* replacement;
    const char* expected;
};

const ReplaceAllCase kReplaceAll[] = {
    {"RemovesEveryHitFromTheCursor", "a a\nb|aXa\naa", "a", "", "a a\nbX\n"},
    {"DoublingDoesNotLoop", "|a\nbab", "a", "aa", "aa\nbaab"},
    {"LongerAndShorter", "|int x; int y;\nprint", "int", "long", "long x; long y;\nprlong"},
    {"CaseIgnored", "|Aa", "a", "b", "bb"},
    {"TextLeftOfTheCursorStays", "ab|ab", "ab", "X", "abX"},
};

class ReplaceAllCases : public Commands, public ::testing::WithParamInterface<ReplaceAllCase> {};

TEST_P(ReplaceAllCases, Mode16ReplacesWithoutAskingOrTelling) {
    const ReplaceAllCase& c = GetParam();
    Load(*w, c.text);
    Replace(*w, c.find, c.replacement, 16);
    EXPECT_EQ(Text(), c.expected);
    EXPECT_TRUE(host.dialogsWanted.empty());
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(w->modified, 1);
}

INSTANTIATE_TEST_SUITE_P(Replace, ReplaceAllCases, ::testing::ValuesIn(kReplaceAll),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Commands, ReplaceAllLeavesTheLastHitMarkedAndTheCursorOnIt) {
    Load(*w, "|xa\nya");
    Replace(*w, "a", "bb", 16);
    EXPECT_EQ(Render(*w), "xbb\ny|bb");
    EXPECT_EQ(w->dragKind, kDragMarked);
    EXPECT_EQ(w->FromLine, 1);
    EXPECT_EQ(w->FromCol, 1);
}

TEST_F(Commands, ReplaceAllRepaintsALineOnceNotPerHit) {
    std::string text(2000, 'a');
    Load(*w, "|" + text + "\nxa");
    static int repaints;
    repaints = 0;
    w->view.invalidateLines = [](void*, int, int) { ++repaints; };
    Replace(*w, "a", "b", 16);
    EXPECT_EQ(Text(), std::string(2000, 'b') + "\nxb");
    EXPECT_LE(repaints, 4);
}

TEST_F(Commands, QuestionAnswersYesNoAndCancel) {
    Load(*w, "|a a a a");
    AnswerQuestion(kYes);
    AnswerQuestion(kNo);
    AnswerQuestion(kYes);
    AnswerQuestion(kCancel);
    Replace(*w, "a", "B", 0);
    EXPECT_EQ(Text(), "B a B a");
    EXPECT_EQ(host.dialogsWanted.size(), 4u);
    EXPECT_EQ(w->dragKind, kDragNone);  // "Abbrechen" removes the mark
    EXPECT_TRUE(host.messageIds.empty());
}

TEST_F(Commands, NoGoesOnOneCharacterAfterTheHitsStart) {
    Load(*w, "|aaa");
    AnswerQuestion(kNo);
    AnswerQuestion(kYes);
    Replace(*w, "aa", "X", 0);
    EXPECT_EQ(Text(), "aX");
    EXPECT_EQ(host.messageIds, std::vector<int>{1201});  // asked replace ends with the message
}

TEST_F(Commands, ReplaceAllInTheQuestionStopsAsking) {
    Load(*w, "|a a a\na");
    AnswerQuestion(kNo);
    AnswerQuestion(kAll);
    Replace(*w, "a", "B", 0);
    EXPECT_EQ(Text(), "a B B\nB");
    EXPECT_EQ(host.dialogsWanted.size(), 2u);
    EXPECT_TRUE(host.messageIds.empty());
    // The next command asks again.
    Load(*w, "|a a");
    AnswerQuestion(kCancel);
    Replace(*w, "a", "B", 0);
    EXPECT_EQ(host.dialogsWanted.size(), 3u);
    EXPECT_EQ(Text(), "a a");
}

TEST_F(Commands, CancelledReplaceDialogReplacesNothing) {
    Load(*w, "|abc");
    AnswerDialog(2, [](DialogId, FindSettings& s) {
        s.FindString = "b";
        s.ReplaceString = "X";
    });
    Replace(*w, "", "", 0);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(Stored().FindString, "");
    EXPECT_EQ(w->modified, 0);
}

TEST_F(Commands, ReplaceAllBoxStartsUncheckedOnEveryOpen) {
    Load(*w, "|abab");
    std::vector<int> seen;
    auto answer = [&seen](DialogId id, FindSettings& s) {
        EXPECT_EQ(id, DialogId::Replace);
        EXPECT_EQ(s.DialogKind, FindDialogKind::Replace);
        seen.push_back(s.ReplaceAll);
        s.FindString = "b";
        s.ReplaceString = "c";
        s.ReplaceAll = 1;
    };
    AnswerDialog(1, answer);
    Replace(*w, "", "", 0);
    EXPECT_EQ(Text(), "acac");
    AnswerDialog(1, answer);
    Replace(*w, "", "", 0);
    EXPECT_EQ(seen, (std::vector<int>{0, 0}));
    EXPECT_EQ(Stored().ReplaceString, "c");
}

TEST_F(Commands, OverflowStopsAndKeepsTheReplacementsMadeSoFar) {
    options.LngLineBuffer = 10;
    Load(*w, "|aaaa");
    Replace(*w, "a", "aaa", 16);
    // 4 -> 6 -> 8 characters; the third would make 10.
    EXPECT_EQ(Text(), "aaaaaaaa");
    EXPECT_EQ(host.messageIds, std::vector<int>{1110});
    EXPECT_EQ(w->dragKind, kDragNone);
    EXPECT_EQ(w->modified, 1);
}

TEST_F(Commands, EscapeAsksAndYesStops) {
    Load(*w, "|a a a a");
    host.escapeAfterPolls = 3;  // Escape seen before the third hit
    host.answers.push_back(IdYes);
    Replace(*w, "a", "B", 16);
    EXPECT_EQ(Text(), "B B a a");
    EXPECT_EQ(host.messageIds, std::vector<int>{1303});
    EXPECT_EQ(w->dragKind, kDragNone);
}

TEST_F(Commands, EscapeAnsweredNoGoesOn) {
    Load(*w, "|a a a a");
    host.escapeAfterPolls = 2;
    host.answers.push_back(IdNo);
    Replace(*w, "a", "B", 16);
    EXPECT_EQ(Text(), "B B B B");
    EXPECT_EQ(host.messageIds, std::vector<int>{1303});
}

TEST_F(Commands, ReplaceWithoutHitTellsOnlyWhenAsking) {
    Load(*w, "|abc");
    Replace(*w, "x", "y", 16);
    EXPECT_TRUE(host.messageIds.empty());
    Replace(*w, "x", "y", 0);
    EXPECT_EQ(host.messageIds, std::vector<int>{1201});
}

TEST_F(Commands, OemDocumentReplacesInItsOwnTable) {
    options.CodeTable = 1;
    Load(*w, "|\x81" "ber \x81");  // "über über" in the OEM table
    Replace(*w, "\xFC", "\xC4", 16);  // ü -> Ä typed in ANSI
    EXPECT_EQ(Text(), "\x8E" "ber \x8E");
}

TEST_F(Commands, RefusedReplacementNotationReplacesNothing) {
    Load(*w, "|abc");
    Korvel_WriteLongToHKCU("Find", "ExpandEscapes", 1);
    Replace(*w, "b", "\\0", 16);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(Commands, EmptyExpandedPatternDoesNotLoop) {
    Load(*w, "|abc");
    Korvel_WriteLongToHKCU("Find", "ExpandEscapes", 1);
    Replace(*w, "\\0", "", 16);
    EXPECT_EQ(Text(), "abc");
    Find(*w, "\\0", 0);
    EXPECT_EQ(host.messageIds, std::vector<int>{1201});
}

TEST_F(Commands, ReplaceLeavesTheUndoRecordAlone) {
    Load(*w, "|abc");
    InsertChar(*w, 'x');
    const int kind = GetUndoKind();
    Replace(*w, "b", "B", 16);
    EXPECT_EQ(GetUndoKind(), kind);
}

TEST_F(Commands, ActionRowsTakeNullTextsAsAbsent) {
    Load(*w, "|abc");
    EXPECT_EQ(FindAction(*w, nullptr, 0), 0);
    EXPECT_EQ(ReplaceAction(*w, nullptr, nullptr, 16), 0);
    EXPECT_EQ(host.dialogsWanted, (std::vector<DialogId>{DialogId::Find, DialogId::Replace}));
    EXPECT_EQ(FindAction(*w, "c", 0), 0);
    EXPECT_EQ(FindNextAction(*w), 0);
    EXPECT_EQ(Render(*w), "ab|c");
}

// ---- Learn mode ------------------------------------------------------------------------

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(Commands, LearnModeWritesTheThreeActionsWithTheirModes) {
    static test::TestFolder learnFolder;  // the learned file is made once per process
    if (TheLearnRecorder().LearnFileName.empty()) SetTemporaryBase(learnFolder.path());
    Load(*w, "|a\"b a\"b");
    ASSERT_TRUE(ToggleLearnMode());
    Find(*w, "a\"b", 1 | 4);
    FindNext(*w);
    // The dialog opens with the stored flags of the Find (1 and 4); 2 and 16 are added.
    AnswerDialog(1, [](DialogId, FindSettings& s) {
        s.FindString = "b";
        s.ReplaceString = "c";
        s.StartOfLine = 1;
        s.ReplaceAll = 1;
    });
    Replace(*w, "", "", 0);
    FindNext(*w);  // the stored text is recorded by its action alone
    Find(*w, "", 0);  // cancelled: nothing is learned
    ASSERT_FALSE(ToggleLearnMode());
    SetTemporaryBase("");
    const std::string file = ReadAll(TheLearnRecorder().LearnFileName);
    EXPECT_NE(file.find("\tFind (\"a\\\"b\",5);\r\n\tFindNext ();\r\n"
                        "\tReplace (\"b\",\"c\",23);\r\n\tFindNext ();\r\n\tend\r\n"),
              std::string::npos)
        << file;
}

// ---- Replacing all at once is replacing hit by hit -------------------------------------

struct Outcome {
    std::string text;
    int caretLine, caretCol, firstLine, firstCol, dragKind, fromLine, fromCol, toLine, toCol, modified;
    std::vector<int> messages;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    out << "text \"" << o.text << "\" caret " << o.caretLine << "/" << o.caretCol << " origin "
        << o.firstLine << "/" << o.firstCol << " drag " << o.dragKind << " " << o.fromLine << "/"
        << o.fromCol << "-" << o.toLine << "/" << o.toCol << " modified " << o.modified << " messages";
    for (int m : o.messages) out << " " << m;
    return out;
}

TEST_F(Commands, ReplaceAllEndsAsAnsweringYesAtEveryHit) {
    // Random documents, requests, cursor places, buffer sizes and Escape presses: the
    // line-by-line replace of all hits must leave exactly what asking and answering "&Ja"
    // every time leaves (but for the final "not found" message of the asking run).
    std::mt19937 random(7);
    auto pick = [&random](auto& list) { return list[random() % std::size(list)]; };
    const char* patterns[] = {"a", "ab", "aA", "a\tb", "ba", "aa"};
    const char* replacements[] = {"", "x", "aa", "\t", "ab", "Ab", "xyz"};
    const int buffers[] = {8, 12, 20, 3000};
    for (int round = 0; round < 600; ++round) {
        std::string text;
        const int lines = 1 + static_cast<int>(random() % 5);
        for (int l = 0; l < lines; ++l) {
            if (l > 0) text += '\n';
            const int length = static_cast<int>(random() % 16);
            for (int i = 0; i < length; ++i) text += "aAb\t "[random() % 5];
        }
        const std::string find = pick(patterns);
        const std::string replacement = pick(replacements);
        const int mode = static_cast<int>(random() % 8);
        options.LngLineBuffer = pick(buffers);
        options.LineNumbers = static_cast<int>(random() % 2);
        const int caretLine = static_cast<int>(random() % lines);
        const int caretColumn = static_cast<int>(random() % 20);
        const int escapeAt = random() % 3 == 0 ? 1 + static_cast<int>(random() % 6) : -1;
        const bool stopOnEscape = random() % 2 == 0;
        const bool withView = random() % 2 == 0;  // a window takes the line-by-line steps

        auto run = [&](bool all) {
            Load(*w, text);
            w->caretLine = caretLine;
            w->caretCol = MarginWidth(*w) + caretColumn;
            w->modified = 0;
            w->view.invalidateLines = nullptr;
            if (withView) w->view.invalidateLines = [](void*, int, int) {};
            host.Reset();
            host.writeMessagesToStderr = false;
            host.defaultAnswer = stopOnEscape ? HeadlessHost::DefaultAnswer::Yes : HeadlessHost::DefaultAnswer::No;
            host.escapeAfterPolls = escapeAt;
            if (!all)
                for (int i = 0; i < 200; ++i) AnswerQuestion(kYes);
            Replace(*w, find, replacement, mode | (all ? 16 : 0));
            Outcome o{Text(), w->caretLine, w->caretCol, w->firstLine, w->firstCol, w->dragKind,
                      w->FromLine, w->FromCol, w->ToLine, w->ToCol, w->modified, host.messageIds};
            if (!all && !o.messages.empty() && o.messages.back() == 1201) o.messages.pop_back();
            return o;
        };
        const Outcome asked = run(false);
        const Outcome all = run(true);
        ASSERT_EQ(all, asked) << "round " << round << " text \"" << text << "\" find \"" << find
                              << "\" replace \"" << replacement << "\" mode " << mode << " buffer "
                              << options.LngLineBuffer << " caret " << caretLine << "/" << caretColumn
                              << " escape " << escapeAt << (stopOnEscape ? " yes" : " no")
                              << (withView ? " shown" : "");
    }
}

}  // namespace
}  // namespace varlin
