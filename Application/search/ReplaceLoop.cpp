// The replace loop. Asking, it goes hit by hit: centre the view on the hit, mark it, ask,
// replace, go on behind the inserted text. Once all hits are to be replaced it works line
// by line instead: the hits of one line are replaced into one new text, which is stored
// once; the window is repainted and the cursor, view and mark set for the latest hit only
// every few hundred lines and where the loop stops. The result is the same as hit by hit
// (the tests compare the two), including where Escape and a line overflow stop it.
//
// Positions are kept as a line, a character index and that index's display column, so
// each step measures only the characters it passes.
#include "search/ReplaceLoop.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"
#include "search/ChangedLines.h"
#include "search/FindReplace.h"
#include "search/RegexReplace.h"
#include "search/SearchEngine.h"
#include "settings/Options.h"
#include "editing/UndoHistory.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace varlin {
namespace {

constexpr int kNotFoundMessage = 1201;
constexpr int kLineOverflowMessage = 1110;
constexpr int kStopReplaceMessage = 1303;

// Where the loop stands: the search goes on at index of line, whose column is col (the
// asking loop keeps it; replacing all measures columns only where it shows a hit).
struct LoopPosition {
    int line = 0;
    int index = 0;
    int col = 0;
};

struct Replacing {
    EditWindow& w;
    const SearchPattern& pattern;
    std::string_view replacement;
    int matched = 0;
    int inserted = 0;
    int margin = 0;   // the margin width and tab step stay while the loop runs
    int step = 1;
    // Without a tab in the pattern there is none in a hit (no other byte folds to a tab),
    // so a hit's width and the replacement's are their lengths.
    bool plainPattern = false;
    bool plainReplacement = false;
    int Advance(std::string_view text, int fromIndex, int fromCol, int toIndex) const {
        if (w.doc->utf8) return AdvanceColumn(w, text, fromIndex, fromCol, toIndex);
        return AdvanceColumn(text, fromIndex, fromCol, toIndex, margin, step);
    }
    int HitEnd(std::string_view line, int index, int col) const {
        return plainPattern ? col + matched : Advance(line, index, col, index + matched);
    }
    int AfterReplacement(int col) const {
        return plainReplacement ? col + inserted : Advance(replacement, 0, col, inserted);
    }
};

// The mark covers the hit, or once it is replaced exactly the replacement (nothing for an
// empty one), so that typing over it with AutoDelDrag takes no text behind it.
void Mark(EditWindow& w, int line, int col, int toCol) {
    if (toCol > col)
        MarkHitColumns(w, line, col, toCol);
    else
        ClearDrag(w);
}

void ShowAndMark(EditWindow& w, int line, int col, int toCol) {
    CenterOn(w, line, col);
    SetCaret(w, line, col);
    Mark(w, line, col, toCol);
}

std::string_view SearchedLine(const EditWindow& w, int line) {
    std::string_view v = w.doc->LineView(line);
    const std::size_t limit = static_cast<std::size_t>(std::max(WorkBufferSize(w) - 1, 0));
    return v.size() > limit ? v.substr(0, limit) : v;
}

// Escape was pressed: true when the user wants the replace to stop.
// A stop request (Ctrl+C, a time limit) stops at once; Escape asks first.
bool StopWanted() { return StopRequested() || ShowMessage(kStopReplaceMessage) == IdYes; }

// Whether a window shows the document: without one, repainting and the comment check it
// needs cost nothing, and the cursor and mark matter only where the loop stops.
bool IsShown(const EditWindow& w) { return w.view.invalidateLines || w.view.invalidateAll; }

// The hit the cursor and mark are to show, by its character index. Its columns are
// measured only when it is shown: the text before a hit is the same in the stored line
// once the replacements before it are stored, and the hit has a tab wherever the pattern
// has one (no other byte folds to a tab).
struct ShownHit {
    int line = -1;
    int index = 0;
    bool replaced = false;
    void Show(const Replacing& r) {
        if (line < 0) return;
        const int col = IndexToColumn(r.w, r.w.doc->LineView(line), index);
        ShowAndMark(r.w, line, col, replaced ? r.AfterReplacement(col) : r.Advance(r.pattern.text, 0, col, r.matched));
        line = -1;
    }
};

// A window is brought up to date after this many changed lines (and where the loop
// stops): often enough to show the progress whenever it gets to paint, seldom enough
// that scrolling and repainting cost nothing next to the replacing.
constexpr int kLinesPerViewUpdate = 512;

// Replacing all looks for the next hit in up to this many lines by itself before it
// hands the search over to SearchFromIndex (which scans runs of lines as one piece).
constexpr int kLinesSearchedAlone = 4;

// Replaces every hit from p on without asking; pollDone tells that the Escape poll before
// the first search has been made.
void ReplaceRest(Replacing& r, LoopPosition p, bool pollDone) {
    EditWindow& w = r.w;
    // The wait cursor, lifted while a message asks or tells something.
    std::optional<WaitCursor> wait;
    wait.emplace();
    auto stopWanted = [&wait] {
        wait.reset();
        const bool stop = StopWanted();
        wait.emplace();
        return stop;
    };
    const bool shown = IsShown(w);
    const long long limit = static_cast<long long>(WorkBufferSize(w)) - 1;
    const std::size_t n = r.pattern.text.size();
    std::string built;
    // The hits of the stored line from where its scan began, found in one pass (valid
    // while `scanned`), so that each further hit of a line costs no search of its own.
    std::vector<int> hits;
    std::size_t nextHit = 0;
    const bool plainScan = !r.pattern.startOfLine && !r.pattern.endOfLine;
    ShownHit last;
    ChangedLines changedLines;
    int linesSinceUpdate = 0;
    auto bringUpToDate = [&] {
        changedLines.Repaint(w);
        last.Show(r);
        linesSinceUpdate = 0;
    };
    for (;;) {
        if (!pollDone && HostPollEscape()) {
            bringUpToDate();
            if (stopWanted()) {
                ClearDrag(w);
                return;
            }
        }
        pollDone = false;
        int line = p.line;
        int pos = p.index;
        std::string_view stored;
        bool scanned = false;
        // The next few whole lines from their start are first searched one by one: in a
        // text dense with hits they mostly hold one, and one pass finds all of a line's
        // hits. Without one the search goes on below them, as it would.
        for (int k = 0; k < kLinesSearchedAlone && plainScan && pos == 0 && line >= 0 && line < w.LineCount(); ++k) {
            stored = w.doc->LineView(line);
            if (static_cast<long long>(stored.size()) > limit) break;  // cut by the work buffer
            FindAllInLine(r.pattern, stored, 0, hits);
            nextHit = 0;
            scanned = !hits.empty();
            if (scanned) {
                pos = hits[0];
                break;
            }
            ++line;
        }
        if (!scanned && !SearchFromIndex(r.pattern, w, line, pos, &stored)) {
            bringUpToDate();
            return;
        }

        // The hits of this line. The line as it would be after the replacements so far is
        // built + stored[origPos...]; the search goes on at built.size() in it, which is
        // origPos in the stored text.
        const bool hadDelimiter = shown && w.doc->HasCommentDelimiter(line);
        int origPos = line == p.line ? p.index : 0;
        built.assign(stored.substr(0, static_cast<std::size_t>(origPos)));
        bool changed = false;
        // Stores the line as built so far; goOn: the search goes on in it.
        auto commit = [&](bool goOn) {
            if (!changed) return true;
            const std::size_t prefix = built.size();
            built.append(stored.substr(static_cast<std::size_t>(origPos)));
            const bool storedOk = w.doc->SetPooledLine(line, built) == 0;
            built.resize(prefix);
            if (goOn) {
                stored = w.doc->LineView(line);
                origPos = static_cast<int>(prefix);
                scanned = false;
            }
            w.modified = 1;
            if (shown) changedLines.Add(w, line, hadDelimiter);
            changed = false;
            return storedOk;
        };
        for (;;) {
            last = ShownHit{line, static_cast<int>(built.size()) + (pos - origPos)};
            const long long newLength = static_cast<long long>(built.size()) + (pos - origPos) + r.inserted +
                                        (static_cast<long long>(stored.size()) - pos - r.matched);
            // A stored line longer than the work buffer cannot be written back whole.
            if (static_cast<long long>(stored.size()) > limit || newLength >= limit) {
                commit(false);
                bringUpToDate();
                wait.reset();
                ShowMessage(kLineOverflowMessage);
                ClearDrag(w);
                return;
            }
            built.append(stored.substr(static_cast<std::size_t>(origPos), static_cast<std::size_t>(pos - origPos)));
            built.append(r.replacement);
            last.replaced = true;
            origPos = pos + r.matched;
            changed = true;
            if (HostPollEscape()) {
                const bool ok = commit(true);
                bringUpToDate();
                if (!ok || stopWanted()) {
                    ClearDrag(w);
                    return;
                }
            }
            // The next hit in this line, as a search from built.size() would find it.
            if (r.pattern.startOfLine) {
                pos = built.empty() && PatternAt(r.pattern, stored, origPos) ? origPos : -1;
            } else {
                if (!scanned) {
                    FindAllInLine(r.pattern, stored, origPos, hits);
                    nextHit = 0;
                    scanned = true;
                }
                while (nextHit < hits.size() && hits[nextHit] < origPos) ++nextHit;
                pos = nextHit < hits.size() ? hits[nextHit] : -1;
            }
            if (pos >= 0 && r.pattern.endOfLine && static_cast<std::size_t>(pos) != stored.size() - n) pos = -1;
            if (pos < 0) {
                if (!commit(false)) {
                    bringUpToDate();
                    ClearDrag(w);
                    return;
                }
                if (shown && ++linesSinceUpdate >= kLinesPerViewUpdate) bringUpToDate();
                // The rest of the line holds no hit: the next search starts below it.
                p = LoopPosition{line + 1, 0, r.margin};
                pollDone = true;
                break;
            }
        }
    }
}

}  // namespace

void RunReplaceLoop(EditWindow& w, FindSettings& s) {
    BeginHistoryStep(w);  // all its replacements are one step
    if (s.Regex) {
        RunRegexReplaceLoop(w, s);
        return;
    }
    const int codeTable = DocumentCodeTable(w);
    SearchPattern pattern;
    const bool searchable = CompilePattern(s, codeTable, pattern);
    std::string replacement;
    if (!PrepareReplacement(s.ReplaceString, s.ExpandEscapes, codeTable, replacement)) {
        // A refused notation would otherwise replace every hit by nothing.
        HostBeep();
        return;
    }
    Replacing r{w, pattern, replacement, static_cast<int>(pattern.text.size()),
                static_cast<int>(replacement.size()), MarginWidth(w), TabStepWidth(w),
                !w.doc->utf8 && pattern.text.find('\t') == std::string::npos,
                !w.doc->utf8 && replacement.find('\t') == std::string::npos};
    LoopPosition p{w.caretLine, 0, w.caretCol};
    if (p.line >= 0 && p.line < w.LineCount()) {
        const std::string_view v = SearchedLine(w, p.line);
        p.index = ColumnToIndex(w, v, p.col);
        p.col = IndexToColumn(w, v, p.index);
    }
    for (;;) {
        if (s.ReplaceAll) {
            if (searchable) ReplaceRest(r, p, false);
            return;
        }
        if (HostPollEscape() && StopWanted()) {
            ClearDrag(w);
            return;
        }
        int hitLine = p.line;
        int hitIndex = p.index;
        bool found = false;
        if (searchable) {
            WaitCursor wait;
            found = SearchFromIndex(pattern, w, hitLine, hitIndex) != 0;
        }
        if (!found) {
            ShowMessage(kNotFoundMessage);
            ShowCaret(w);
            return;
        }
        std::string_view v = SearchedLine(w, hitLine);
        const int hitCol = hitLine == p.line ? r.Advance(v, p.index, p.col, hitIndex)
                                             : IndexToColumn(w, v, hitIndex);
        ShowAndMark(w, hitLine, hitCol, r.HitEnd(v, hitIndex, hitCol));
        RepaintLine(w, hitLine);  // the question needs the mark on screen
        const int answer = AskReplace(s);
        if (answer == kAnswerSkip) {
            const int next = std::min(hitIndex + 1, static_cast<int>(v.size()));
            p = LoopPosition{hitLine, next, r.Advance(v, hitIndex, hitCol, next)};
            continue;
        }
        if (answer != kAnswerReplace) {
            ClearDrag(w);
            return;
        }
        const bool hadDelimiter = w.doc->HasCommentDelimiter(hitLine);
        if (ReplaceAtIndex(w, r.matched, replacement, hitLine, hitIndex) != 0) {
            ClearDrag(w);
            return;
        }
        Mark(w, hitLine, hitCol, r.AfterReplacement(hitCol));
        RepaintLine(w, hitLine, hadDelimiter);
        w.modified = 1;
        // Behind the inserted text, so that a replacement holding the pattern is not found
        // again.
        p = LoopPosition{hitLine, hitIndex + r.inserted, r.AfterReplacement(hitCol)};
    }
}

}  // namespace varlin
