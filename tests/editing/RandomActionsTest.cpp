// Long random runs of editing actions with the cursor anywhere (far below the document,
// far right, inside tabs, in the margin), on empty documents and full-length lines, with
// odd settings (tiny line buffers, TabDistance 0 and 1, huge hysteresis). Nothing may
// crash, and the document must stay sound: no line longer than the work buffer allows,
// origin and cursor never negative, the store's count within its capacity.
#include "EditTestSupport.h"

#include <random>

namespace varlin::test {
namespace {

struct RandomRun : EditFixture {
    std::mt19937 rng;
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool Chance(int oneIn) { return Pick(oneIn) == 0; }

    void RandomOptions() {
        options = Options();
        const int buffers[] = {3000, 1, 2, 3, 5, 8, 16, 64};
        options.LngLineBuffer = buffers[Pick(8)];
        const int tabs[] = {0, 1, 2, 3, 8, -5};
        options.TabDistance = tabs[Pick(6)];
        options.LineNumbers = Pick(2);
        options.InsertMode = Pick(2);
        options.IndentMode = Pick(2);
        options.AutoDelDrag = Pick(2);
        options.CodeTable = 1 + Pick(2);
        options.CaretHystVert = Chance(5) ? 1000000000 : Pick(3);
        options.CaretHystHori = Chance(5) ? -7 : Pick(8);
        options.BracketList = Chance(4) ? std::string(",,(") : std::string("(,),begin,end,{,},[,],#if,#endif");
    }

    std::string RandomLine() {
        const int limit = options.LineBufferSize() - 1;
        const int length = Chance(3) ? limit : Pick(std::min(limit, 40) + 1);
        std::string s;
        for (int i = 0; i < length; ++i) {
            const char alphabet[] = "ab (){}\t\t  Xy1#;\xDF\xE4\xB4";
            s += alphabet[Pick(sizeof(alphabet) - 1)];
        }
        return s;
    }

    void RandomDocument() {
        w = std::make_unique<EditWindow>();
        const int lines = Chance(4) ? 0 : Pick(30);
        for (int i = 0; i < lines; ++i) w->doc->SetLine(i, RandomLine());
    }

    void RandomCaret() {
        const int count = w->LineCount();
        const int margin = MarginWidth(*w);
        int line = Chance(300) ? 10000000 : Pick(count + 3);
        int col = 0;
        switch (Pick(5)) {
        case 0: col = MaxCols() - 1; break;
        case 1: col = margin > 0 ? Pick(margin) : 0; break;        // in the margin
        case 2: col = margin + 1 + Pick(9); break;                  // often inside a tab
        case 3: col = margin + Pick(options.LineBufferSize() + 3); break;
        default: col = Chance(50) ? 0x7FFFFFF0 : margin; break;
        }
        SetCaret(*w, line, col);
    }

    void RandomAction() {
        switch (Pick(42)) {
        case 0: PosRight(*w); break;
        case 1: PosLeft(*w); break;
        case 2: LineUp(*w); break;
        case 3: LineDown(*w); break;
        case 4: ItemLeft(*w); break;
        case 5: ItemRight(*w); break;
        case 6: NextRoutine(*w); break;
        case 7: PrevRoutine(*w); break;
        case 8: LineStart(*w); break;
        case 9: LineEnd(*w); break;
        case 10: DocStart(*w); break;
        case 11: DocEnd(*w); break;
        case 12: PageUp(*w); break;
        case 13: PageDown(*w); break;
        case 14: PageLeft(*w); break;
        case 15: PageRight(*w); break;
        case 16: DragAll(*w); break;
        case 17: InsertChar(*w, Pick(256) - (Chance(3) ? 128 : 0)); break;
        case 18: InsertText(*w, RandomLine().substr(0, 5)); break;
        case 19: InsertSpace(*w); break;
        case 20: Backspace(*w); break;
        case 21: Delete(*w); break;
        case 22: InsertLine(*w); break;
        case 23: DeleteLine(*w); break;
        case 24: DuplicateLine(*w); break;
        case 25: TruncateLineStart(*w); break;
        case 26: TruncateLineEnd(*w); break;
        case 27: InsertLastDel(*w); break;
        case 28: Linefeed(*w); break;
        case 29:
            host.answers.push_back(Chance(2) ? IdYes : IdNo);
            TruncateFile(*w);
            host.answers.clear();
            break;
        case 30: TabKey(*w, Chance(2) ? TabDirection::Indent : TabDirection::Outdent); break;
        case 31: PushPosition(*w); break;
        case 32: GotoLastPushPos(*w); break;
        case 33: GotoMatchingBracket(*w); break;
        case 34: Chance(2) ? PressShift() : ReleaseShift(); break;
        case 35: case 36: RandomCaret(); break;
        case 37:
            SetDragFromMacro(*w, Pick(w->LineCount() + 3) - 1, Pick(50) - 2, Pick(w->LineCount() + 3) - 1,
                             Chance(5) ? 0x7FFFFFFF : Pick(60));
            break;
        case 38:
            StartDrag(*w, Chance(2) ? kDragMarked : kDragMouse, Pick(w->LineCount() + 2), Pick(40),
                      Pick(w->LineCount() + 2), Chance(3) ? MaxCols() - 1 : Pick(40));
            break;
        case 39: ScrollRequest(*w, Chance(2) ? ScrollBar::Vertical : ScrollBar::Horizontal,
                               static_cast<ScrollCode>(Pick(10)), Pick(100000)); break;
        case 40: {
            int a, b, c, d;
            GetDragForMacro(*w, a, b, c, d);
            (void)GetCharacter(*w);
            break;
        }
        case 41: CenterOn(*w, Pick(w->LineCount() + 50), Pick(MaxCols())); break;
        }
    }

    void CheckSound(int step) {
        ASSERT_GE(w->LineCount(), 0) << step;
        ASSERT_LE(w->LineCount(), w->doc->Capacity()) << step;
        ASSERT_GE(w->firstLine, 0) << step;
        ASSERT_GE(w->firstCol, 0) << step;
        ASSERT_GE(w->caretLine, 0) << step;
        ASSERT_GE(w->caretCol, 0) << step;
        const std::size_t longest = static_cast<std::size_t>(options.LineBufferSize() - 1);
        const int count = w->LineCount();
        // A document grown to the far line is checked around the cursor only, then reset.
        const int from = count > 100000 ? std::max(0, w->caretLine - 3) : 0;
        const int to = count > 100000 ? std::min(count, w->caretLine + 3) : count;
        for (int l = from; l < to; ++l) ASSERT_LE(w->doc->LineView(l).size(), longest) << "line " << l << " step " << step;
        if (count > 100000) w->doc->Clear();
    }
};

TEST_F(RandomRun, LongRandomSequencesKeepTheDocumentSound) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        rng.seed(seed);
        RandomOptions();
        RandomDocument();
        ReleaseShift();
        for (int step = 0; step < 4000; ++step) {
            RandomAction();
            CheckSound(step);
            if (HasFatalFailure()) return;
        }
    }
    ReleaseShift();
}

TEST_F(RandomRun, TypingFarBelowTheDocumentExtendsIt) {
    Load(*w, "a");
    SetCaret(*w, 10000000, MaxCols() - 1);
    InsertChar(*w, 'x');
    EXPECT_EQ(w->LineCount(), 10000001);
    EXPECT_EQ(w->doc->LineView(10000000), "x");
    EXPECT_TRUE(w->doc->IsLineEmpty(5000000));
    EXPECT_EQ(w->caretCol, MarginWidth(*w) + 1);
    DocStart(*w);
    EXPECT_EQ(w->caretLine, 0);
}

}  // namespace
}  // namespace varlin::test
