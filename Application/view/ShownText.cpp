// A document's shown characters in UTF-16 units, line by line.
#include "view/ShownText.h"

#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <algorithm>

namespace varlin {
namespace {

bool NeedsSurrogates(char32_t cp) { return cp >= 0x10000 && cp != kInvalidByte; }

// The character that shows a UTF-8 document's code point (the OEM font's pictures for
// control characters, as the painter draws them).
char32_t ShownCodePoint(char32_t cp, unsigned char firstByte) {
    if (cp == kInvalidByte) return AnsiGlyph(firstByte);
    if (cp == '\t') return cp;
    if (cp < 32 || cp == 127) return AnsiGlyph(static_cast<unsigned char>(cp));
    return cp;
}

void AppendShown(std::string_view bytes, bool utf8, int codeTable, std::u16string& out) {
    if (!utf8) {
        for (char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            out.push_back(b == '\t' ? u'\t' : GlyphOf(b, codeTable));
        }
        return;
    }
    const int n = static_cast<int>(bytes.size());
    for (int i = 0; i < n;) {
        int length = 1;
        const auto b = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        const char32_t cp = ShownCodePoint(b < 0x80 ? char32_t(b) : Utf8Decode(bytes, i, &length), b);
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
}

// Drops the final '\n' of the texts of lines that reach the end of the document, where
// no line break follows the last line; when one side holds no line, the break before the
// region goes instead.
void TrimFinalBreak(ShownText::Change& c, bool removedKnown) {
    if (!c.removed.empty() && !c.inserted.empty()) {
        c.removed.pop_back();
        c.inserted.pop_back();
        return;
    }
    std::u16string& side = c.removed.empty() ? c.inserted : c.removed;
    if (side.empty()) return;
    side.pop_back();
    if (c.position > 0) {
        --c.position;
        side.insert(side.begin(), removedKnown || &side == &c.inserted ? u'\n' : u' ');
    }
}

}  // namespace

ShownText::ShownText(const EditWindow& w) : w_(w) {
    w_.doc->TakeChangedSpan();
    Build();
}

std::string_view ShownText::Bytes(int line) const { return w_.doc->LineView(line); }

int ShownText::UnitsOf(std::string_view bytes) const {
    if (!utf8_) return static_cast<int>(bytes.size());
    int units = 0;
    const int n = static_cast<int>(bytes.size());
    for (int i = 0; i < n;) {
        if (static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]) < 0x80) {
            ++units;
            ++i;
            continue;
        }
        int length = 1;
        units += NeedsSurrogates(Utf8Decode(bytes, i, &length)) ? 2 : 1;
        i += length;
    }
    return units;
}

void ShownText::Build() {
    utf8_ = w_.doc->utf8;
    codeTable_ = DocumentCodeTable(w_);
    const int count = std::max(w_.LineCount(), 1);
    starts_.assign(static_cast<std::size_t>(count) + 1, 0);
    shift_ = 0;
    for (int i = 0; i < count; ++i)
        starts_[static_cast<std::size_t>(i) + 1] = starts_[static_cast<std::size_t>(i)] + UnitsOf(Bytes(i)) + 1;
    remembered_.clear();
}

int ShownText::LineLength(int line) const {
    const auto i = static_cast<std::size_t>(line);
    return static_cast<int>(Start(i + 1) - Start(i) - 1);
}

void ShownText::ApplyShift() {
    if (shift_ != 0)
        for (std::size_t i = shiftFrom_; i < starts_.size(); ++i) starts_[i] += shift_;
    shift_ = 0;
}

int ShownText::LineOf(long long offset) const {
    // The first line starting after offset, less one.
    std::size_t low = 0;
    std::size_t high = starts_.size() - 1;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (Start(mid) <= offset) low = mid + 1;
        else high = mid;
    }
    return std::max(static_cast<int>(low) - 1, 0);
}

std::u16string ShownText::LineText(int line) const {
    std::u16string out;
    AppendShown(Bytes(line), utf8_, codeTable_, out);
    return out;
}

std::u16string ShownText::Text(long long start, long long end) const {
    start = std::clamp(start, 0LL, Length());
    end = std::clamp(end, start, Length());
    std::u16string out;
    for (int line = LineOf(start); line < LineCount(); ++line) {
        const long long lineStart = LineStart(line);
        // The break before the line, at lineStart - 1.
        if (line > 0 && lineStart - 1 >= start && lineStart - 1 < end) out.push_back(u'\n');
        if (lineStart >= end) break;
        const std::u16string text = LineText(line);
        const long long from = std::max(start - lineStart, 0LL);
        const long long to = std::min<long long>(end - lineStart, static_cast<long long>(text.size()));
        if (to > from) out.append(text, static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    }
    return out;
}

int ShownText::UnitsBefore(int line, int byteIndex) const {
    std::string_view bytes = Bytes(line);
    byteIndex = std::clamp(byteIndex, 0, static_cast<int>(bytes.size()));
    return UnitsOf(bytes.substr(0, static_cast<std::size_t>(byteIndex)));
}

int ShownText::ByteIndexAt(int line, int units) const {
    std::string_view bytes = Bytes(line);
    if (!utf8_) return std::clamp(units, 0, static_cast<int>(bytes.size()));
    const int n = static_cast<int>(bytes.size());
    int i = 0;
    for (int seen = 0; i < n;) {
        int length = 1;
        const int step = NeedsSurrogates(Utf8Decode(bytes, i, &length)) ? 2 : 1;
        if (seen + step > units) break;
        seen += step;
        i += length;
    }
    return i;
}

void ShownText::Remember(int first, int last) {
    first = std::clamp(first, 0, LineCount() - 1);
    last = std::clamp(last, first, LineCount() - 1);
    rememberedFirst_ = first;
    remembered_.clear();
    for (int line = first; line <= last; ++line) remembered_.push_back(LineText(line));
}

ShownText::Change ShownText::Sync() {
    ChangedSpan span = w_.doc->TakeChangedSpan();
    if (utf8_ != w_.doc->utf8 || codeTable_ != DocumentCodeTable(w_)) {
        // Every character may read differently now: the whole text was replaced.
        span = ChangedSpan{0, 0};
        remembered_.clear();
        utf8_ = w_.doc->utf8;
        codeTable_ = DocumentCodeTable(w_);
    }
    if (!span.Any()) return {};
    const int oldCount = LineCount();
    const int newCount = std::max(w_.LineCount(), 1);
    const int first = std::clamp(span.first, 0, std::min(oldCount, newCount));
    const int tail = std::clamp(span.keptTail, 0, std::min(oldCount, newCount) - first);
    const int oldEnd = oldCount - tail;
    const int newEnd = newCount - tail;

    Change c;
    c.position = LineStart(first);
    const long long oldLength = LineStart(oldEnd) - c.position;
    const bool known = oldLength == 0 || (first >= rememberedFirst_ && oldLength <= static_cast<long long>(kMaxChangeText) &&
                                          oldEnd <= rememberedFirst_ + static_cast<int>(remembered_.size()));
    if (known) {
        for (int line = first; line < oldEnd; ++line) {
            c.removed += remembered_[static_cast<std::size_t>(line - rememberedFirst_)];
            c.removed.push_back(u'\n');
        }
    } else {
        c.removed.assign(static_cast<std::size_t>(std::min<long long>(oldLength, kMaxChangeText)), u' ');
    }

    // The new starts of the region's lines; the lines after it move by the difference.
    std::vector<long long> middle;
    middle.reserve(static_cast<std::size_t>(newEnd - first));
    long long at = c.position;
    for (int line = first; line < newEnd; ++line) {
        const std::string_view bytes = Bytes(line);
        at += UnitsOf(bytes) + 1;
        middle.push_back(at);
        if (c.inserted.size() < kMaxChangeText) {
            AppendShown(bytes, utf8_, codeTable_, c.inserted);
            c.inserted.push_back(u'\n');
        }
    }
    if (c.inserted.size() > kMaxChangeText) c.inserted.resize(kMaxChangeText);
    const long long delta = (at - c.position) - oldLength;
    // The region's entries are written as they are; the entries after it keep a pending
    // shift, which another place of change first adds to them.
    const auto tailFrom = static_cast<std::size_t>(newEnd) + 1;
    if (shift_ != 0 && (shiftFrom_ != tailFrom || oldEnd != newEnd)) ApplyShift();
    const std::size_t common = std::min(middle.size(), static_cast<std::size_t>(oldEnd - first));
    std::copy(middle.begin(), middle.begin() + static_cast<std::ptrdiff_t>(common), starts_.begin() + first + 1);
    if (oldEnd > newEnd)
        starts_.erase(starts_.begin() + first + 1 + static_cast<std::ptrdiff_t>(common), starts_.begin() + oldEnd + 1);
    else if (newEnd > oldEnd)
        starts_.insert(starts_.begin() + first + 1 + static_cast<std::ptrdiff_t>(common),
                       middle.begin() + static_cast<std::ptrdiff_t>(common), middle.end());
    shiftFrom_ = tailFrom;
    shift_ += delta;

    if (tail == 0) TrimFinalBreak(c, known);
    if (known && at - c.position <= static_cast<long long>(kMaxChangeText)) {
        // Only what differs: typing a character reports that character.
        std::size_t head = 0;
        const std::size_t shorter = std::min(c.removed.size(), c.inserted.size());
        while (head < shorter && c.removed[head] == c.inserted[head]) ++head;
        std::size_t back = 0;
        while (back < shorter - head &&
               c.removed[c.removed.size() - 1 - back] == c.inserted[c.inserted.size() - 1 - back])
            ++back;
        c.removed = c.removed.substr(head, c.removed.size() - head - back);
        c.inserted = c.inserted.substr(head, c.inserted.size() - head - back);
        c.position += static_cast<long long>(head);
    }
    remembered_.clear();
    return c;
}

}  // namespace varlin
