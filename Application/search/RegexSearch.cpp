// The regular-expression search over the lines of a document.
#include "search/RegexSearch.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "settings/Options.h"

#include <algorithm>
#include <string>

namespace varlin {
namespace {

constexpr int kBadExpressionMessage = 1240;
constexpr int kLimitMessage = 1241;
constexpr int kStoppedMessage = 1242;
constexpr int kBadReplacementMessage = 1243;

// Escape and stop requests are looked at after this many lines matched one by one; a
// line costs at most the library's step limit, so the wait stays short.
constexpr int kLinesPerPoll = 64;

}  // namespace

bool RegexSearcher::Compile(const FindSettings& s, int codeTable) {
    RegexError error;
    if (!regex.Compile(s, codeTable, error)) {
        ShowMessage(kBadExpressionMessage, std::to_string(error.position).c_str(), error.text.c_str());
        return false;
    }
    useLiteral = false;
    if (!regex.RequiredText().empty()) {
        FindSettings plain;
        plain.FindString = CutFindText(regex.RequiredText());
        plain.CapsSens = s.CapsSens;
        useLiteral = CompilePattern(plain, codeTable, literal);
    }
    return true;
}

RegexOutcome RegexSearcher::SearchFrom(const EditWindow& w, int line, int index, bool notEmptyAtIndex, RegexHit& hit) {
    const int count = w.LineCount();
    const std::size_t limit = static_cast<std::size_t>(std::max(WorkBufferSize(w) - 1, 0));
    int l = std::max(line, 0);
    std::size_t from = line >= 0 ? std::size_t(std::max(index, 0)) : 0;
    bool notEmpty = notEmptyAtIndex;
    int sincePoll = 0;
    while (l < count) {
        if (++sincePoll >= kLinesPerPoll) {
            sincePoll = 0;
            if (HostPollEscape()) {
                hit.line = l;
                return RegexOutcome::Stopped;
            }
        }
        // Whole lines without the required text are passed over many at a time.
        if (useLiteral && from == 0) {
            int candidate = l;
            int at = 0;
            if (!SearchFromIndex(literal, w, candidate, at)) return RegexOutcome::NotFound;
            l = candidate;
        }
        std::string_view v = w.doc->LineView(l);
        if (v.size() > limit) v = v.substr(0, limit);
        std::size_t start = 0;
        std::size_t end = 0;
        switch (regex.Match(v, from, notEmpty, start, end)) {
        case MatchResult::Match:
            hit = RegexHit{l, int(start), int(end)};
            return RegexOutcome::Hit;
        case MatchResult::Limit:
            hit.line = l;
            return RegexOutcome::CutOff;
        case MatchResult::NoMatch:
            break;
        }
        ++l;
        from = 0;
        notEmpty = false;
    }
    return RegexOutcome::NotFound;
}

int RegexSearchForward(const FindSettings& s, EditWindow& w, int& line, int& col) {
    if (line >= w.LineCount()) return 0;
    RegexSearcher searcher;
    if (!searcher.Compile(s, DocumentCodeTable(w))) return -1;
    WaitCursor wait;
    int index = 0;
    if (line >= 0) {
        std::string_view v = w.doc->LineView(line);
        index = ColumnToIndex(w, v.substr(0, std::min<std::size_t>(v.size(), std::size_t(std::max(WorkBufferSize(w) - 1, 0)))), col);
    }
    RegexHit hit;
    const RegexOutcome outcome = searcher.SearchFrom(w, line, index, false, hit);
    if (outcome == RegexOutcome::NotFound) return 0;
    if (outcome != RegexOutcome::Hit) {
        ShowSearchCutShort(outcome, hit.line);
        return -1;
    }
    line = hit.line;
    col = IndexToColumn(w, w.doc->LineView(hit.line), hit.start);
    return 1;
}

void ShowSearchCutShort(RegexOutcome outcome, int line) {
    const std::string number = std::to_string(line + 1);
    ShowMessage(outcome == RegexOutcome::CutOff ? kLimitMessage : kStoppedMessage, number);
}

void ShowReplacementError(const RegexError& error) {
    ShowMessage(kBadReplacementMessage, std::to_string(error.position).c_str(), error.text.c_str());
}

}  // namespace varlin
