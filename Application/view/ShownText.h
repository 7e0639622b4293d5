// ShownText: a document's text as the screen shows its characters, counted the way
// accessibility clients count, in UTF-16 units: a code-table byte is its Windows-1252 or
// code page 850 character, a UTF-8 character is one character (two units beyond the
// 16-bit range), a tab is a tab and never its arrow or fill dots, and a '\n' stands between
// two lines. It never holds the text itself: line by line it is read from the store when
// asked, and only the start offset of every line is kept, so that a question about a
// few characters of a million-line document costs a few lines. The starts follow the
// store's changes (LineStore::TakeChangedSpan) and tell what each change replaced.
#pragma once

#include "editing/EditWindow.h"

#include <string>
#include <string_view>
#include <vector>

namespace varlin {

class ShownText {
public:
    // One replacement at `position`: the text it removed and the text it put there. The
    // removed text is exact when its lines were remembered (Remember), else blanks of its
    // length. A text above kMaxChangeText units is cut there.
    struct Change {
        long long position = 0;
        std::u16string removed;
        std::u16string inserted;
        bool Any() const { return !removed.empty() || !inserted.empty(); }
    };
    static constexpr std::size_t kMaxChangeText = 1 << 20;

    // Reads the whole document's line lengths once; changes before this are not reported.
    explicit ShownText(const EditWindow& w);

    // Catches up with the store's changes (and a new reading of the bytes: UTF-8 or a
    // code table) and returns them as one replacement; none when nothing changed.
    Change Sync();

    int LineCount() const { return static_cast<int>(starts_.size()) - 1; }
    long long Length() const { return Start(starts_.size() - 1) - 1; }
    long long LineStart(int line) const { return Start(static_cast<std::size_t>(line)); }
    int LineLength(int line) const;
    // The line holding offset (offsets between a line's end and the next start belong to
    // the earlier line; beyond the text, the last line).
    int LineOf(long long offset) const;
    std::u16string LineText(int line) const;
    // Units of [start, end), clamped to the text.
    std::u16string Text(long long start, long long end) const;

    // Within a line: the units before byte index `byteIndex` (its length beyond it), and
    // the byte index of the character at unit `units` (inside a surrogate pair, its start).
    int UnitsBefore(int line, int byteIndex) const;
    int ByteIndexAt(int line, int units) const;

    // Keeps the text of lines first .. last as they read now, so that a change among them
    // is reported with what it removed.
    void Remember(int first, int last);

private:
    std::string_view Bytes(int line) const;
    int UnitsOf(std::string_view bytes) const;
    void Build();
    long long Start(std::size_t i) const { return starts_[i] + (i >= shiftFrom_ ? shift_ : 0); }
    // Adds the pending shift to the entries it applies to.
    void ApplyShift();

    const EditWindow& w_;
    bool utf8_ = false;
    int codeTable_ = 0;
    // LineCount() + 1 entries: line i starts at Start(i). The entries from shiftFrom_ on
    // are shift_ short, so that typing on one line moves the million lines below it by
    // changing one number.
    std::vector<long long> starts_;
    std::size_t shiftFrom_ = 0;
    long long shift_ = 0;
    int rememberedFirst_ = 0;
    std::vector<std::u16string> remembered_;
};

}  // namespace varlin
