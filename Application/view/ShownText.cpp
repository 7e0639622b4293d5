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
    starts_.Assign(count, [this](int line) { return UnitsOf(Bytes(line)) + 1LL; });
    rememberedValid_ = false;
}

int ShownText::LineLength(int line) const {
    return static_cast<int>(starts_.Start(line + 1) - starts_.Start(line) - 1);
}

int ShownText::LineOf(long long offset) const { return starts_.LineOf(offset); }

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
    if (rememberedValid_ && first == rememberedFirst_ && last - first + 1 == RememberedCount()) return;
    rememberedFirst_ = first;
    rememberedBytes_.clear();
    rememberedEnds_.clear();
    for (int line = first; line <= last; ++line) {
        rememberedBytes_ += Bytes(line);
        rememberedEnds_.push_back(rememberedBytes_.size());
    }
    rememberedValid_ = true;
}

void ShownText::RememberAgain(int line) {
    const auto i = static_cast<std::size_t>(line - rememberedFirst_);
    const std::size_t from = i == 0 ? 0 : rememberedEnds_[i - 1];
    const std::string_view bytes = Bytes(line);
    const std::size_t oldSize = rememberedEnds_[i] - from;
    rememberedBytes_.replace(from, oldSize, bytes);
    for (std::size_t j = i; j < rememberedEnds_.size(); ++j) rememberedEnds_[j] = rememberedEnds_[j] + bytes.size() - oldSize;
}

std::string_view ShownText::RememberedBytes(int line) const {
    const auto i = static_cast<std::size_t>(line - rememberedFirst_);
    const std::size_t from = i == 0 ? 0 : rememberedEnds_[i - 1];
    return std::string_view(rememberedBytes_).substr(from, rememberedEnds_[i] - from);
}

ShownText::Change ShownText::Sync() {
    ChangedSpan span = w_.doc->TakeChangedSpan();
    if (utf8_ != w_.doc->utf8 || codeTable_ != DocumentCodeTable(w_)) {
        // Every character may read differently now: the whole text was replaced.
        span = ChangedSpan{0, 0};
        rememberedValid_ = false;
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
                                          oldEnd <= rememberedFirst_ + RememberedCount());
    if (known) {
        for (int line = first; line < oldEnd; ++line) {
            AppendShown(RememberedBytes(line), utf8_, codeTable_, c.removed);
            c.removed.push_back(u'\n');
        }
    } else {
        c.removed.assign(static_cast<std::size_t>(std::min<long long>(oldLength, kMaxChangeText)), u' ');
    }

    std::vector<long long> lengths;
    lengths.reserve(static_cast<std::size_t>(newEnd - first));
    long long at = c.position;
    for (int line = first; line < newEnd; ++line) {
        const std::string_view bytes = Bytes(line);
        lengths.push_back(UnitsOf(bytes) + 1);
        at += lengths.back();
        if (c.inserted.size() < kMaxChangeText) {
            AppendShown(bytes, utf8_, codeTable_, c.inserted);
            c.inserted.push_back(u'\n');
        }
    }
    if (c.inserted.size() > kMaxChangeText) c.inserted.resize(kMaxChangeText);
    starts_.Replace(first, oldEnd - first, lengths);

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
    // Lines changed in place among the remembered ones (typing) are remembered anew; any
    // other change has them read again.
    if (known && oldEnd == newEnd && rememberedValid_) {
        for (int line = first; line < newEnd; ++line) RememberAgain(line);
    } else {
        rememberedValid_ = false;
    }
    return c;
}

}  // namespace varlin
