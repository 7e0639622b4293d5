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
        case 0: col = MaxCols(*w) - 1; break;
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
                      Pick(w->LineCount() + 2), Chance(3) ? MaxCols(*w) - 1 : Pick(40));
            break;
        case 39: ScrollRequest(*w, Chance(2) ? ScrollBar::Vertical : ScrollBar::Horizontal,
                               static_cast<ScrollCode>(Pick(10)), Pick(100000)); break;
        case 40: {
            int a, b, c, d;
            GetDragForMacro(*w, a, b, c, d);
            (void)GetCharacter(*w);
            break;
        }
        case 41: CenterOn(*w, Pick(w->LineCount() + 50), Pick(MaxCols(*w))); break;
        }
    }

    void CheckSound(int step) {
        ASSERT_GE(w->LineCount(), 0) << step;
        ASSERT_LE(w->LineCount(), w->doc->Capacity()) << step;
        ASSERT_GE(w->firstLine, 0) << step;
        ASSERT_GE(w->firstCol, 0) << step;
        ASSERT_GE(w->caretLine, 0) << step;
        ASSERT_GE(w->caretCol, 0) << step;
        const std::size_t longest = static_cast<std::size_t>(w->doc->LineBuffer() - 1);
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

// A second, plain implementation of the character and line actions on a list of strings:
// no tabs and no margin, so that a column is an index. Each random step runs on both and
// the texts, cursors and last deleted texts must agree; a build whose actions do nothing,
// or do the wrong thing at a line's end, cannot pass. A join that would not fit the line
// buffer is refused, never cut.
struct TextModel {
    std::vector<std::string> lines;
    int line = 0, col = 0;
    std::string lastDel;
    int buffer = 0;  // LngLineBuffer

    int Count() const { return static_cast<int>(lines.size()); }
    bool HasLine() const { return line < Count(); }
    // The cursor line; typing below the document first adds the lines up to it.
    std::string& Text() {
        if (!HasLine()) lines.resize(line + 1);
        return lines[line];
    }
    int Length() const { return HasLine() ? static_cast<int>(lines[line].size()) : 0; }
    int Index() const { return std::min(col, Length()); }
    bool Opens(std::size_t n) const { return Length() + n < static_cast<std::size_t>(buffer - 1); }
    void Remember(const std::string& text) { if (!text.empty()) lastDel = text; }

    void Type(char c, bool insert) {
        const int i = Index();
        std::string& t = Text();
        if (insert) {
            if (!Opens(1)) return;
            t.insert(t.begin() + i, c);
        } else if (i == static_cast<int>(t.size())) {
            if (i >= buffer - 1) return;
            t += c;
        } else {
            t[i] = c;
        }
        col = i + 1;
    }
    void Backspace() {
        if (!HasLine()) return;
        if (col > 0) {
            const int i = Index();
            if (i > 0) Text().erase(i - 1, 1);
            col = std::max(i - 1, 0);
        } else if (line > 0) {
            std::string& above = lines[line - 1];
            if (above.size() + lines[line].size() > static_cast<std::size_t>(buffer - 2)) return;  // no cut
            col = static_cast<int>(above.size());
            above += lines[line];
            lines.erase(lines.begin() + line);
            --line;
        }
    }
    void Delete() {
        if (!HasLine()) return;
        const int i = Index();
        std::string& t = Text();
        if (i < static_cast<int>(t.size())) {
            t.erase(i, 1);
            return;
        }
        col = static_cast<int>(t.size());
        if (line + 1 < Count() && t.size() + lines[line + 1].size() <= static_cast<std::size_t>(buffer - 1)) {
            t += lines[line + 1];
            lines.erase(lines.begin() + line + 1);
        }
    }
    void DeleteLine() {
        if (!HasLine()) return;
        Remember(lines[line]);
        lines.erase(lines.begin() + line);
        col = 0;
    }
    void InsertLastDel() {
        if (!HasLine() || lastDel.empty() || !Opens(lastDel.size())) return;
        const int i = Index();
        Text().insert(i, lastDel);
        col = i + static_cast<int>(lastDel.size());
    }
    void Linefeed(bool indent) {
        if (!HasLine()) {
            ++line;
            col = 0;
            return;
        }
        const std::string t = lines[line];
        const int i = Index();
        int w = 0;
        while (w < i && (t[w] == ' ' || t[w] == '\t')) ++w;
        const int n = indent ? w : 0;
        lines[line] = t.substr(0, i);
        lines.insert(lines.begin() + line + 1, (t.substr(0, n) + t.substr(i)).substr(0, buffer - 1));
        ++line;
        col = n;
    }
    void TruncateEnd() {
        if (!HasLine()) return;
        const int i = Index();
        Remember(Text().substr(i));
        Text().erase(i);
    }
    void TruncateStart() {
        if (!HasLine()) return;
        const int i = Index();
        Remember(Text().substr(0, i));
        Text().erase(0, i);
        col = 0;
    }
};

TEST_F(RandomRun, CharacterAndLineActionsAgreeWithASecondImplementation) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        rng.seed(seed);
        options = Options();
        options.LineNumbers = 0;
        options.LngLineBuffer = Chance(3) ? 12 : 3000;
        options.InsertMode = Pick(2);
        options.IndentMode = Pick(2);
        w = std::make_unique<EditWindow>();
        ForgetUndo();
        TextModel m;
        m.buffer = options.LineBufferSize();
        const int lines = Pick(6);
        for (int i = 0; i < lines; ++i) {
            std::string text(Pick(std::min(9, m.buffer - 1)), ' ');
            for (char& c : text) c = "ab  x"[Pick(5)];
            w->doc->SetLine(i, text);
            m.lines.push_back(text);
        }
        for (int step = 0; step < 1500; ++step) {
            const int action = Pick(15);
            switch (action) {
            case 0: { const char c = "abc "[Pick(4)]; InsertChar(*w, c); m.Type(c, options.InsertMode); break; }
            case 1: Backspace(*w); m.Backspace(); break;
            case 2: Delete(*w); m.Delete(); break;
            case 3: DeleteLine(*w); m.DeleteLine(); break;
            case 4: InsertLastDel(*w); m.InsertLastDel(); break;
            case 5: Linefeed(*w); m.Linefeed(options.IndentMode); break;
            case 6: TruncateLineEnd(*w); m.TruncateEnd(); break;
            case 7: TruncateLineStart(*w); m.TruncateStart(); break;
            case 8: {
                const bool duplicate = Chance(2);
                duplicate ? DuplicateLine(*w) : InsertLine(*w);
                if (m.HasLine()) m.lines.insert(m.lines.begin() + m.line, duplicate ? m.lines[m.line] : "");
                break;
            }
            case 9: LineUp(*w); m.line = std::max(m.line - 1, 0); break;
            case 10: LineDown(*w); ++m.line; break;
            case 11: PosLeft(*w); m.col = m.col > m.Length() ? m.Length() : std::max(m.col - 1, 0); break;
            case 12: PosRight(*w); ++m.col; break;
            case 13: LineStart(*w); m.col = 0; break;
            case 14: LineEnd(*w); m.col = m.Length(); break;
            }
            std::vector<std::string> now;
            for (int l = 0; l < w->LineCount(); ++l) now.emplace_back(w->doc->LineView(l));
            ASSERT_EQ(now, m.lines) << "step " << step << " action " << action;
            ASSERT_EQ((std::pair{w->caretLine, w->caretCol}), (std::pair{m.line, m.col})) << "step " << step << " action " << action;
            ASSERT_EQ(std::string(w->lastDel.data(), w->lastDel.size()), m.lastDel) << "step " << step;
        }
    }
}

TEST_F(RandomRun, TypingFarBelowTheDocumentExtendsIt) {
    Load(*w, "a");
    SetCaret(*w, 10000000, MaxCols(*w) - 1);
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
