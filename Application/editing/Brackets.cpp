// The jump to the matching bracket: the bracket words come in pairs from the BracketList
// setting; from an opening word the search runs forwards to its partner, from a closing
// word backwards, counting nested pairs of the same word by plain text comparison.
#include "editing/EditActions.h"

#include "document/Language.h"
#include "platform/Messages.h"
#include "settings/Options.h"

#include <optional>

namespace varlin {
namespace {

constexpr int kMessageNoBracket = 1211;
constexpr int kMessageNoOpening = 1212;
constexpr int kMessageNoClosing = 1213;

bool StartsAt(std::string_view text, long long at, std::string_view word) {
    return at >= 0 && static_cast<std::size_t>(at) <= text.size() &&
           text.substr(static_cast<std::size_t>(at)).starts_with(word);
}

// True when word ends at (and includes) index at.
bool EndsAt(std::string_view text, long long at, std::string_view word) {
    long long start = at - static_cast<long long>(word.size()) + 1;
    return start >= 0 && at < static_cast<long long>(text.size()) &&
           text.substr(static_cast<std::size_t>(start), word.size()) == word;
}

// Forwards from (line, pos): the partner's first character.
std::optional<TextPos> SearchForwards(const EditWindow& w, int line, long long pos,
                                      std::string_view bracket, std::string_view partner) {
    int depth = 0;
    const int count = w.LineCount();
    for (int l = line; l < count; ++l, pos = 0) {
        std::string t = WorkLine(w, l);
        while (pos < static_cast<long long>(t.size())) {
            if (StartsAt(t, pos, bracket)) {
                ++depth;
                pos += static_cast<long long>(bracket.size());
            } else if (StartsAt(t, pos, partner)) {
                if (depth == 0) return TextPos{l, static_cast<int>(pos)};
                --depth;
                pos += static_cast<long long>(partner.size());
            } else {
                ++pos;
            }
        }
    }
    return std::nullopt;
}

// Backwards from (line, pos), each line from its end: the partner's last character.
std::optional<TextPos> SearchBackwards(const EditWindow& w, int line, long long pos,
                                       std::string_view bracket, std::string_view partner) {
    int depth = 0;
    bool first = true;
    for (int l = line; l >= 0; --l) {
        std::string t = WorkLine(w, l);
        if (!first) pos = static_cast<long long>(t.size()) - 1;
        first = false;
        while (pos >= 0) {
            if (EndsAt(t, pos, bracket)) {
                ++depth;
                pos -= static_cast<long long>(bracket.size());
            } else if (EndsAt(t, pos, partner)) {
                if (depth == 0) return TextPos{l, static_cast<int>(pos)};
                --depth;
                pos -= static_cast<long long>(partner.size());
            } else {
                --pos;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

void GotoMatchingBracket(EditWindow& w) {
    const int line = w.caretLine;
    std::string text = WorkLine(w, line);
    const int i = ColumnToIndex(w, text, w.caretCol);
    std::vector<std::string> items = ParseBracketList(CurrentOptions().BracketList);

    std::size_t k = 0;
    for (;; ++k) {
        // An empty item ends the list; so does an opening word without a partner.
        if (k >= items.size() || items[k].empty() || (k % 2 == 0 && (k + 1 >= items.size() || items[k + 1].empty()))) {
            ShowMessage(kMessageNoBracket);
            return;
        }
        if (StartsAt(text, i, items[k])) break;
    }
    const std::string& bracket = items[k];
    const bool opening = k % 2 == 0;
    const std::string& partner = opening ? items[k + 1] : items[k - 1];

    std::optional<TextPos> found =
        opening ? SearchForwards(w, line, static_cast<long long>(i) + static_cast<long long>(bracket.size()), bracket, partner)
                : SearchBackwards(w, line, static_cast<long long>(i) - 1, bracket, partner);
    if (!found) {
        ShowMessage(opening ? kMessageNoClosing : kMessageNoOpening);
        return;
    }
    std::string target = WorkLine(w, found->line);
    int col = IndexToColumn(w, target, found->col);
    CenterOn(w, found->line, col);
    SetCaret(w, found->line, col);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

}  // namespace varlin
