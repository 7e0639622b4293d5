// The regular-expression replace loop. Asking, it goes match by match as the plain loop
// does, the search going on in the changed line behind the inserted text. Replacing all,
// each line with a match is rebuilt from its stored text in one pass and stored once, so
// that a match never sees the replacements before it; the window is brought up to date
// where the loop stops and every few hundred changed lines.
#include "search/RegexReplace.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"
#include "search/ChangedLines.h"
#include "search/FindReplace.h"
#include "search/RegexSearch.h"
#include "settings/Options.h"

#include <algorithm>
#include <optional>
#include <string>

namespace varlin {
namespace {

constexpr int kNotFoundMessage = 1201;
constexpr int kLineOverflowMessage = 1110;
constexpr int kStopReplaceMessage = 1303;
constexpr int kLineBreakMessage = 1244;
constexpr int kLinesPerViewUpdate = 512;

bool StopWanted() { return StopRequested() || ShowMessage(kStopReplaceMessage) == IdYes; }

bool IsShown(const EditWindow& w) { return w.view.invalidateLines || w.view.invalidateAll; }

std::string_view SearchedLine(const EditWindow& w, int line) {
    std::string_view v = w.doc->LineView(line);
    const std::size_t limit = static_cast<std::size_t>(std::max(WorkBufferSize(w) - 1, 0));
    return v.size() > limit ? v.substr(0, limit) : v;
}

// The hit or replacement from fromIndex to toIndex of the line shown and marked (nothing
// marked when it is empty, so that typing over it takes no text behind it).
void ShowAndMark(EditWindow& w, int line, int fromIndex, int toIndex) {
    const std::string_view v = SearchedLine(w, line);
    const int col = IndexToColumn(w, v, fromIndex);
    CenterOn(w, line, col);
    SetCaret(w, line, col);
    if (toIndex > fromIndex)
        MarkHitColumns(w, line, col, IndexToColumn(w, v, toIndex));
    else
        ClearDrag(w);
}

struct Replacing {
    EditWindow& w;
    RegexSearcher& searcher;
    const std::string& templ;
    std::string replacement;  // the latest expansion
    long long limit = 0;      // a line must stay below it

    // The replacement of the latest match in text (the line it was found in); false after
    // a message when the template is bad or its expansion holds a line end.
    bool Expand(std::string_view text) {
        RegexError error;
        if (!searcher.regex.Expand(text, templ, replacement, error)) {
            ShowReplacementError(error);
            return false;
        }
        if (replacement.find('\n') != std::string::npos) {
            ShowMessage(kLineBreakMessage);
            return false;
        }
        return true;
    }
};

// The lines changed since the window was last brought up to date, and the latest
// replacement, which the cursor and mark show.
struct Progress {
    ChangedLines changed;
    int shownLine = -1;
    int shownFrom = 0;
    int shownTo = 0;
    int sinceUpdate = 0;
    void Changed(EditWindow& w, int line, bool hadDelimiter) { changed.Add(w, line, hadDelimiter); }
    void BringUpToDate(EditWindow& w) {
        changed.Repaint(w);
        sinceUpdate = 0;
        if (shownLine >= 0) ShowAndMark(w, shownLine, shownFrom, shownTo);
        shownLine = -1;
    }
};

enum class LineEnd { Done, Stop };

// Replaces every match of `line` from the one found, [start, end), on, in the stored
// text; stores the line. Stop after a message (overflow, bad replacement, a limit).
LineEnd ReplaceInLine(Replacing& r, Progress& progress, bool shown, int line, std::size_t start, std::size_t end) {
    EditWindow& w = r.w;
    const std::string_view text = w.doc->LineView(line);
    const bool hadDelimiter = shown && w.doc->HasCommentDelimiter(line);
    static std::string built;
    built.assign(text.substr(0, start));
    std::size_t pos = start;  // text before it is in built
    bool changed = false;
    LineEnd result = LineEnd::Done;
    for (;;) {
        built.append(text.substr(pos, start - pos));
        pos = start;
        if (static_cast<long long>(text.size()) > r.limit) {
            // A line longer than the work buffer would lose its end if it were written back.
            ShowMessage(kLineOverflowMessage);
            result = LineEnd::Stop;
            break;
        }
        if (!r.Expand(text)) {
            result = LineEnd::Stop;
            break;
        }
        const long long newLength = static_cast<long long>(built.size() + r.replacement.size() + text.size() - end);
        if (newLength >= r.limit) {
            ShowMessage(kLineOverflowMessage);
            result = LineEnd::Stop;
            break;
        }
        progress.shownLine = line;
        progress.shownFrom = int(built.size());
        built.append(r.replacement);
        progress.shownTo = int(built.size());
        changed = true;
        pos = end;
        const MatchResult next = r.searcher.regex.Match(text, pos, start == end, start, end);
        if (next == MatchResult::NoMatch) break;
        if (next == MatchResult::Limit) {
            ShowSearchCutShort(RegexOutcome::CutOff, line);
            result = LineEnd::Stop;
            break;
        }
    }
    if (!changed) return result;
    built.append(text.substr(pos));
    if (w.doc->SetPooledLine(line, built) != 0) return LineEnd::Stop;
    w.modified = 1;
    if (shown) progress.Changed(w, line, hadDelimiter);
    return result;
}

// Replaces every match from index of line on without asking; notEmptyAtIndex as in
// RegexSearcher::SearchFrom.
void ReplaceAll(Replacing& r, int line, int index, bool notEmptyAtIndex) {
    EditWindow& w = r.w;
    std::optional<WaitCursor> wait;
    wait.emplace();
    const bool shown = IsShown(w);
    Progress progress;
    auto stopWanted = [&] {
        progress.BringUpToDate(w);
        wait.reset();
        const bool stop = StopWanted();
        wait.emplace();
        return stop;
    };
    for (;;) {
        if (HostPollEscape() && stopWanted()) {
            ClearDrag(w);
            return;
        }
        RegexHit hit;
        const RegexOutcome outcome = r.searcher.SearchFrom(w, line, index, notEmptyAtIndex, hit);
        if (outcome == RegexOutcome::Stopped) {
            if (stopWanted()) {
                ClearDrag(w);
                return;
            }
            line = hit.line;
            index = 0;
            notEmptyAtIndex = false;
            continue;
        }
        if (outcome != RegexOutcome::Hit) {
            progress.BringUpToDate(w);
            if (outcome == RegexOutcome::CutOff) {
                wait.reset();
                ShowSearchCutShort(outcome, hit.line);
            }
            return;
        }
        if (ReplaceInLine(r, progress, shown, hit.line, std::size_t(hit.start), std::size_t(hit.end)) ==
            LineEnd::Stop) {
            progress.BringUpToDate(w);
            ClearDrag(w);
            return;
        }
        if (shown && ++progress.sinceUpdate >= kLinesPerViewUpdate) progress.BringUpToDate(w);
        line = hit.line + 1;
        index = 0;
        notEmptyAtIndex = false;
    }
}

}  // namespace

void RunRegexReplaceLoop(EditWindow& w, FindSettings& s) {
    RegexSearcher searcher;
    if (!searcher.Compile(s, DocumentCodeTable(w))) return;
    Replacing r{w, searcher, s.ReplaceString, {}, static_cast<long long>(WorkBufferSize(w)) - 1};
    int line = w.caretLine;
    int index = 0;
    if (line >= 0 && line < w.LineCount()) index = ColumnToIndex(w, SearchedLine(w, line), w.caretCol);
    bool notEmpty = false;
    for (;;) {
        if (s.ReplaceAll) {
            ReplaceAll(r, line, index, notEmpty);
            return;
        }
        if (HostPollEscape() && StopWanted()) {
            ClearDrag(w);
            return;
        }
        RegexHit hit;
        RegexOutcome outcome;
        {
            WaitCursor wait;
            outcome = searcher.SearchFrom(w, line, index, notEmpty, hit);
        }
        if (outcome == RegexOutcome::Stopped) {
            if (StopWanted()) {
                ClearDrag(w);
                return;
            }
            line = hit.line;
            index = 0;
            notEmpty = false;
            continue;
        }
        if (outcome != RegexOutcome::Hit) {
            if (outcome == RegexOutcome::NotFound)
                ShowMessage(kNotFoundMessage);
            else
                ShowSearchCutShort(outcome, hit.line);
            ShowCaret(w);
            return;
        }
        ShowAndMark(w, hit.line, hit.start, hit.end);
        RepaintLine(w, hit.line);  // the question needs the mark on screen
        const std::string_view v = SearchedLine(w, hit.line);
        const int answer = AskReplace(s);
        if (answer == kAnswerSkip) {
            // One character after the hit's first one; after an empty hit at the end of
            // the line, the next line.
            const int next = NextCharIndex(w, v, hit.start);
            line = hit.line;
            index = next;
            if (next <= hit.start || std::size_t(hit.start) >= v.size()) {
                ++line;
                index = 0;
            }
            notEmpty = false;
            continue;
        }
        if (answer != kAnswerReplace) {
            ClearDrag(w);
            return;
        }
        const bool hadDelimiter = w.doc->HasCommentDelimiter(hit.line);
        if (!r.Expand(v) ||
            ReplaceAtIndex(w, hit.end - hit.start, r.replacement, hit.line, hit.start) != 0) {
            ClearDrag(w);
            return;
        }
        const int inserted = static_cast<int>(r.replacement.size());
        ShowAndMark(w, hit.line, hit.start, hit.start + inserted);
        RepaintLine(w, hit.line, hadDelimiter);
        w.modified = 1;
        // Behind the inserted text, so that a replacement holding a match is not replaced
        // again, and after an empty match not at the same place.
        line = hit.line;
        index = hit.start + inserted;
        notEmpty = hit.end == hit.start;
    }
}

}  // namespace varlin
