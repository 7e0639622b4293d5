// Undo never destroys text the user did not touch: it gives back exactly what the undone
// step changed, as it was, and leaves every other line and every other document as it
// stands, or it changes nothing and beeps. Checked on the cases that once broke it and on
// long random runs that mix typing, joins, line actions, blocks, search and replace, the
// position stack, SetCaret and switches between two windows.
#include "search/SearchTestSupport.h"

#include "editing/BlockActions.h"
#include "editing/HtmlCommands.h"
#include "editing/UndoHistory.h"

#include <optional>
#include <random>

namespace varlin {
namespace {

using test::Act;
using test::Load;
using test::Render;

using Lines = std::vector<std::string>;

Lines LinesOf(const EditWindow& w) {
    Lines lines;
    for (int l = 0; l < w.LineCount(); ++l) lines.emplace_back(w.doc->LineView(l));
    return lines;
}

std::string Joined(const Lines& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\n" : "") + lines[i];
    return out;
}

struct UndoRule : test::SearchFixture {
    std::unique_ptr<EditWindow> other = std::make_unique<EditWindow>();

    void SetUp() override {
        SearchFixture::SetUp();
        ResetUndoRecord();
    }
    void TearDown() override {
        other.reset();
        SetActiveEditWindow(nullptr);
        ResetUndoRecord();
        SearchFixture::TearDown();
    }
};

struct Example {
    const char* name;
    const char* start;
    std::function<void(UndoRule&, EditWindow&)> script;  // ends with the Undo it checks
    const char* expected;                                // Render of the window after it
    int beeps = 0;
};

TEST_F(UndoRule, EachStepGoesBackToItsOwnLinesAndWindow) {
    const std::vector<Example> examples = {
        {"a line copy goes back to its own line after a search", "|abc\ndef\nghi",
         [](UndoRule&, EditWindow& w) { Act(w, "type:X"); Find(w, "gh", 0); Undo(w); }, "|abc\ndef\nghi"},
        {"... after SetCaret, the position stack and Tab over other lines", "|abc\ndef\nghi",
         [](UndoRule&, EditWindow& w) {
             Act(w, "type:X");
             SetCaret(w, 2, 1);
             Act(w, "PushPosition");
             SetCaret(w, 1, 0);
             Act(w, "GotoLastPushPos");
             SetDragFromMacro(w, 2, 1, 3, 1);
             Act(w, "Tab");
             Undo(w);
         },
         "|abc\n\tdef\n\tghi"},
        {"a line changed since by a replace is left alone", "|abc\ndef",
         [](UndoRule&, EditWindow& w) { Act(w, "type:X"); Replace(w, "b", "B", 16); Undo(w); }, "Xa|Bc\ndef",
         1},
        {"an insertion follows InsertLine above it", "abc\n|def",
         [](UndoRule&, EditWindow& w) {
             w.lastDel = "XY";
             Act(w, "InsertLastDel");
             SetCaret(w, 0, 0);
             Act(w, "InsertLine");
             Undo(w);
         },
         "\nabc\n|def"},
        {"a line copy follows DuplicateLine above it", "abc\n|def",
         [](UndoRule&, EditWindow& w) {
             Act(w, "type:X");
             SetCaret(w, 0, 0);
             Act(w, "DuplicateLine");
             Undo(w);
         },
         "abc\nabc\n|def"},
        {"a join by Delete gives back both lines", "abc|\ndef",
         [](UndoRule&, EditWindow& w) { Act(w, "Delete"); Undo(w); }, "abc|\ndef"},
        {"typing and two joins go back as one step", "ab|\ncd\nef",
         [](UndoRule&, EditWindow& w) { Act(w, "type:X Delete Delete"); Undo(w); }, "ab|\ncd\nef"},
        {"Undo in another window beeps and leaves both alone", "|abc",
         [](UndoRule& t, EditWindow& w) {
             Act(w, "type:X");
             SetActiveEditWindow(t.other.get());
             Undo(*t.other);
             EXPECT_EQ(Render(*t.other), "|other");
             SetActiveEditWindow(&w);
         },
         "X|abc", 1},
        {"... and still works in its own window afterwards", "|abc",
         [](UndoRule& t, EditWindow& w) {
             Act(w, "type:X");
             Undo(*t.other);
             Undo(w);
         },
         "|abc", 1},
        {"a paste at the end of a range marked forwards, past a shorter line's end", "ab|cd\ne",
         [](UndoRule& t, EditWindow& w) {
             t.host.clipboard = "X";
             t.options.AutoDelDrag = 0;
             Act(w, "Shift+ LineDown Shift-");
             Paste(w);
             Undo(w);
         },
         "abcd\ne~|"},
        {"a paste below the last line leaves no line behind", "ab\ncd",
         [](UndoRule& t, EditWindow& w) {
             t.host.clipboard = "X\nY";
             Act(w, "DocEnd");
             Paste(w);
             Undo(w);
         },
         "ab\ncd\n@|"},
        {"typing below the last line removes the lines it added", "ab",
         [](UndoRule&, EditWindow& w) {
             SetCaret(w, 3, 2);
             Act(w, "type:x");
             Undo(w);
         },
         "ab\n@\n@\n@~~|"},
        {"a deleted line goes back where it was, not where the cursor went", "ab\n|cd\nef",
         [](UndoRule&, EditWindow& w) {
             Act(w, "DeleteLine");
             SetCaret(w, 0, 1);
             Undo(w);
         },
         "ab\n|cd\nef"},
        {"replacing all marks exactly the last replacement", "|abc abcdef",
         [](UndoRule& t, EditWindow& w) {
             t.options.AutoDelDrag = 1;
             Replace(w, "abc", "x", 16);
             int fl, fc, tl, tc;
             ASSERT_EQ(GetDragForMacro(w, fl, fc, tl, tc), 1);
             EXPECT_EQ(std::vector<int>({fl, fc, tl, tc}), std::vector<int>({1, 3, 1, 3}));
             Act(w, "type:Y");
         },
         "x Y|def"},
        {"... and asking, too", "|abc abcdef",
         [](UndoRule& t, EditWindow& w) {
             t.options.AutoDelDrag = 1;
             t.AnswerQuestion(kAnswerSkip);
             t.AnswerQuestion(kAnswerReplace);
             Replace(w, "abc", "x", 0);
             t.host.messageIds.clear();
             Act(w, "type:Y");
         },
         "abc Y|def"},
        {"codes whose low byte is a control character type nothing", "ab|",
         [](UndoRule&, EditWindow& w) {
             for (int code : {266, 269, 256, 512 + 27, -246}) InsertChar(w, code);
             InsertChar(w, 256 + 9);  // a tab
         },
         "ab\t|"},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.name);
        ResetUndoRecord();
        options = Options();
        options.LineNumbers = 0;
        host.clipboard.clear();
        Load(*w, e.start);
        Load(*other, "|other");
        SetActiveEditWindow(w.get());
        host.beeps = 0;
        host.messageIds.clear();
        e.script(*this, *w);
        EXPECT_EQ(Render(*w), e.expected);
        EXPECT_EQ(Joined(LinesOf(*other)), "other");
        EXPECT_EQ(host.beeps, e.beeps);
    }
}

// ---- Random runs -----------------------------------------------------------------------

// The lines a step changed: what stands between the lines it left alone at either end.
struct Block {
    Lines before;
    Lines after;
};

Block ChangedBlock(const Lines& before, const Lines& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail + head < before.size() && tail + head < after.size() &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {Lines(before.begin() + head, before.end() - tail), Lines(after.begin() + head, after.end() - tail)};
}

// Whether `undone` is `now` with one occurrence of block.after put back as block.before.
bool PutsBlockBack(const Lines& now, const Lines& undone, const Block& block) {
    const std::size_t n = block.after.size();
    for (std::size_t at = 0; at + n <= now.size(); ++at) {
        if (!std::equal(block.after.begin(), block.after.end(), now.begin() + at)) continue;
        Lines expected(now.begin(), now.begin() + at);
        expected.insert(expected.end(), block.before.begin(), block.before.end());
        expected.insert(expected.end(), now.begin() + at + n, now.end());
        if (expected == undone) return true;
    }
    return false;
}

struct RandomUndo : UndoRule {
    std::mt19937 rng;
    EditWindow* windows[2] = {nullptr, nullptr};
    int current = 0;

    // What the test knows of the record: the step it last saw begin, the documents just
    // before that step and just after its latest change, and whether anything else has
    // changed the step's document since.
    int stepNumber = -1;
    int stepRevision = -1;
    const EditWindow* stepWindow = nullptr;
    std::vector<Lines> beforeStep;
    Lines afterStep;
    bool touchedSince = false;
    // A step that went on after something else changed its document mixes both in the
    // difference of its snapshots: then only the other document is checked.
    bool blockKnown = true;
    int wholeSteps = 0;  // Undos checked against the snapshot before their step

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool Chance(int oneIn) { return Pick(oneIn) == 0; }
    EditWindow& Cur() { return *windows[current]; }

    std::string Word() {
        static const char* words[] = {"a", "b", "ab", "\t", " ", "X", "ba", ""};
        return words[Pick(8)];
    }
    void RandomDocument(EditWindow& x) {
        x.doc->Clear();
        for (int n = Pick(7), l = 0; l < n; ++l) x.doc->SetLine(l, Word() + Word() + Word());
        x.caretLine = x.caretCol = x.firstLine = x.firstCol = 0;
    }
    std::vector<Lines> Snapshot() const { return {LinesOf(*windows[0]), LinesOf(*windows[1])}; }

    // Typing and pasting over a marked range with AutoDelDrag delete it first, and that
    // deletion is no part of the step: the step begins with the document after it.
    std::optional<Lines> autoDeleted;
    std::string history;  // the actions of the run so far, for the failure message
    void NoteAutoDelete(const EditWindow& x) {
        DragRange r;
        if (!options.AutoDelDrag || GetNormalizedDrag(x, r) != kDragMarked) return;
        EditWindow scratch;
        scratch.doc->lineBuffer = x.doc->lineBuffer;  // a paste may have grown the document's
        for (int l = 0; l < x.LineCount(); ++l) scratch.doc->SetLine(l, x.doc->LineView(l));
        if (DeleteRange(scratch, r) >= 0) autoDeleted = LinesOf(scratch);
    }

    void RandomAction() {
        EditWindow& x = Cur();
        const int count = x.LineCount();
        const int pick = Pick(30);
        history += std::to_string(current) + ":" + std::to_string(pick) + "@" + std::to_string(x.caretLine) + "," +
                   std::to_string(x.caretCol) + (HasDrag(x) ? "d " : " ");
        switch (pick) {
        case 0: case 1: NoteAutoDelete(x); InsertChar(x, Chance(6) ? Pick(600) - 100 : "abX \t"[Pick(5)]); break;
        case 2: NoteAutoDelete(x); InsertText(x, Word() + Word()); break;
        case 3: InsertSpace(x); break;
        case 4: case 5: Backspace(x); break;
        case 6: case 7: Delete(x); break;
        case 8: Linefeed(x); break;
        case 9: InsertLine(x); break;
        case 10: DeleteLine(x); break;
        case 11: DuplicateLine(x); break;
        case 12: Chance(2) ? TruncateLineStart(x) : TruncateLineEnd(x); break;
        case 13: InsertLastDel(x); break;
        case 14: if (Chance(4)) TruncateFile(x); break;
        case 15: {
            static const char* clips[] = {"", "X", "X\nY", "\n", "ab\n\nb\n", "\t"};
            host.clipboard = clips[Pick(6)];
            NoteAutoDelete(x);
            Paste(x);
            break;
        }
        case 16: Chance(2) ? Cut(x) : Copy(x); break;
        case 17: Find(x, Chance(2) ? "a" : "b", Pick(8)); host.messageIds.clear(); break;
        case 18: FindNext(x); break;
        case 19: {
            static const char* replacements[] = {"", "Z", "ZZZ", "a\tb"};
            if (!Chance(3)) {
                for (int k = 0; k < 3; ++k) AnswerQuestion(Chance(2) ? kAnswerReplace : kAnswerSkip);
            }
            Replace(x, Chance(2) ? "a" : "ab", replacements[Pick(4)], Chance(3) ? 0 : 16);
            host.dialogAnswers.clear();
            host.messageIds.clear();
            break;
        }
        case 20: Chance(2) ? PushPosition(x) : GotoLastPushPos(x); break;
        case 21: case 22: SetCaret(x, Pick(count + 3), MarginWidth(x) + Pick(9)); break;
        case 23: SetDragFromMacro(x, 1 + Pick(count + 1), 1 + Pick(6), 1 + Pick(count + 1), Pick(7)); break;
        case 24: PressShift(); Chance(2) ? LineDown(x) : PosRight(x); ReleaseShift(); break;
        case 25: Chance(2) ? PosLeft(x) : PosRight(x); break;
        case 26: NoteAutoDelete(x); TabKey(x, Chance(2) ? TabDirection::Indent : TabDirection::Outdent); break;
        case 27: Chance(2) ? LinesToHtml(x) : LinesFromHtml(x); break;
        case 28: current = 1 - current; SetActiveEditWindow(windows[current]); break;
        case 29: Chance(3) ? LineDown(x) : LineEnd(x); break;
        }
    }

    // After an action other than Undo: follow the record.
    void Follow(const std::vector<Lines>& before) {
        const UndoRecord& u = TheUndoRecord();
        if (u.stepNumber != stepNumber) {
            stepNumber = u.stepNumber;
            stepRevision = u.stepRevision;
            stepWindow = u.window;
            beforeStep = before;
            if (autoDeleted && stepWindow == windows[current]) beforeStep[current] = *autoDeleted;
            afterStep = stepWindow ? LinesOf(*stepWindow) : Lines();
            touchedSince = false;
            blockKnown = true;
        } else if (u.stepRevision != stepRevision) {
            stepRevision = u.stepRevision;
            afterStep = LinesOf(*stepWindow);
            if (touchedSince) blockKnown = false;
        } else if (stepWindow && LinesOf(*stepWindow) != afterStep) {
            touchedSince = true;
        }
        autoDeleted.reset();
    }

    void CheckUndo(int seed, int step) {
        const std::vector<Lines> before = Snapshot();
        const bool applies = GetUndoKind() != kUndoNone && TheUndoRecord().window == &Cur();
        const int beeps = host.beeps;
        Undo(Cur());
        const std::vector<Lines> after = Snapshot();
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step << " window " << current
                                          << " before undo:\n" << Joined(before[current]) << "\nafter:\n"
                                          << Joined(after[current]) << "\nbefore the step:\n"
                                          << (applies ? Joined(beforeStep[current]) : "") << "\nactions: "
                                          << history.substr(history.size() > 600 ? history.size() - 600 : 0));
        history += "UNDO ";
        EXPECT_EQ(after[1 - current], before[1 - current]) << "another document changed";
        if (!applies) {
            EXPECT_EQ(after[current], before[current]);
            EXPECT_EQ(host.beeps, beeps + 1);
            return;
        }
        if (!touchedSince) {
            ++wholeSteps;
            EXPECT_EQ(after[current], beforeStep[current]) << "the step did not come back whole";
        } else if (blockKnown) {
            const Block block = ChangedBlock(beforeStep[current], afterStep);
            if (after[current] == before[current] && block.before != block.after)
                EXPECT_EQ(host.beeps, beeps + 1) << "an Undo that changes nothing beeps";
            else
                EXPECT_TRUE(PutsBlockBack(before[current], after[current], block))
                    << "Undo changed more than the step's own lines";
        }
        Follow(after);
    }
};

TEST_F(RandomUndo, UndoGivesBackTheStepOrNothingOverLongRuns) {
    RegistryBatch settingsInMemory;  // the searches store their settings without a file write each
    EditWindow second;
    windows[0] = w.get();
    windows[1] = &second;
    for (int seed = 1; seed <= 30; ++seed) {
        rng.seed(static_cast<unsigned>(seed));
        options = Options();
        options.LineNumbers = Pick(2);
        options.LngLineBuffer = Chance(3) ? 10 : 3000;
        options.TabDistance = 2 + Pick(3) * 2;
        options.InsertMode = !Chance(4);
        options.AutoDelDrag = Pick(2);
        options.IndentMode = Pick(2);
        ResetUndoRecord();
        RandomDocument(*windows[0]);
        RandomDocument(*windows[1]);
        current = 0;
        SetActiveEditWindow(windows[0]);
        stepNumber = -1;
        history.clear();
        for (int step = 0; step < 1500; ++step) {
            if (Chance(6)) {
                CheckUndo(seed, step);
                if (HasFailure()) return;
                continue;
            }
            const std::vector<Lines> before = Snapshot();
            RandomAction();
            Follow(before);
        }
    }
    EXPECT_GT(wholeSteps, 1000) << "the runs must undo many steps for real";
}

// With a history, every action of a random run is undone in turn back to the documents as
// they began, and redone in turn to where the run ended; Undo and Redo in the middle of
// the run are part of it.
TEST_F(RandomUndo, AHistoryUndoesAllAndRedoesAll) {
    RegistryBatch settingsInMemory;
    EditWindow second;
    windows[0] = w.get();
    windows[1] = &second;
    int undone = 0;
    for (int seed = 1; seed <= 300; ++seed) {
        rng.seed(static_cast<unsigned>(seed));
        options = Options();
        options.UndoSteps = 100;
        options.LineNumbers = Pick(2);
        options.LngLineBuffer = Chance(3) ? 10 : 3000;
        options.InsertMode = !Chance(4);
        options.AutoDelDrag = Pick(2);
        options.IndentMode = Pick(2);
        ResetUndoRecord();
        for (EditWindow* x : windows) {
            RandomDocument(*x);
            StartHistory(*x);
        }
        current = 0;
        SetActiveEditWindow(windows[0]);
        history.clear();
        const std::vector<Lines> original = Snapshot();
        for (int n = 1 + Pick(100), k = 0; k < n; ++k) {
            if (Chance(10)) {
                history += "UNDO ";
                Undo(Cur());
            } else if (Chance(12)) {
                history += "REDO ";
                Redo(Cur());
            } else {
                RandomAction();
            }
        }
        // Redo goes on to the last step not yet undone: that is where the run ends.
        for (EditWindow* x : windows)
            for (int guard = 0; HistoryCanRedo(x) && guard < 300; ++guard) Redo(*x);
        const std::vector<Lines> final = Snapshot();
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " window " << i << " actions: " << history);
            EditWindow& x = *windows[i];
            int steps = 0;
            for (; HistoryCanUndo(&x) && steps < 300; ++steps) Undo(x);
            undone += steps;
            EXPECT_EQ(Joined(LinesOf(x)), Joined(original[i]));
            EXPECT_EQ(LinesOf(x).size(), original[i].size());
            if (steps > 0) {
                EXPECT_EQ(x.modified, 0) << "back where it began";
            }
            for (int guard = 0; HistoryCanRedo(&x) && guard < 300; ++guard) Redo(x);
            EXPECT_EQ(Joined(LinesOf(x)), Joined(final[i]));
            EXPECT_EQ(LinesOf(x).size(), final[i].size());
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(undone, 3000) << "the runs must undo many steps";
}

}  // namespace
}  // namespace varlin
