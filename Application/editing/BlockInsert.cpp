// BlockInsert: the insertion of many lines at the cursor, shared by Paste, Append and
// Undo. The source is cut at its LFs first; the resulting lines are known before the
// document changes, so room for all of them is made at once.
#include "editing/BlockInsert.h"

#include "document/TextFile.h"
#include "editing/EditActions.h"
#include "platform/Host.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>
#include <vector>

namespace varlin {
namespace {

constexpr int kMessageOutOfMemory = 1002;
constexpr int kMessagePositionFailed = 1030;

bool IsLineEndByte(char c) { return c == '\r' || c == '\n' || c == 0x1A; }

std::string_view StripLineEnd(std::string_view line, bool endedByLf, LineEndRule rule) {
    if (rule == LineEndRule::Reader) {
        while (!line.empty() && IsLineEndByte(line.back())) line.remove_suffix(1);
    } else if (endedByLf && !line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// The lines of the source without their ends: one more than it has LFs.
std::vector<std::string_view> SourceLines(std::string_view text, LineEndRule rule) {
    std::vector<std::string_view> lines;
    std::size_t lfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    lines.reserve(lfs + 1);
    std::size_t pos = 0;
    for (;;) {
        const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
        if (!lf) break;
        std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
        lines.push_back(StripLineEnd(text.substr(pos, end - pos), true, rule));
        pos = end + 1;
    }
    lines.push_back(StripLineEnd(text.substr(pos), false, rule));
    return lines;
}

// A line of the result, cut into pieces of at most limit bytes (one piece when empty).
std::size_t PieceCount(std::size_t length, std::size_t limit) {
    return length == 0 ? 1 : (length + limit - 1) / limit;
}

// The result lines: head + first source line, the middle lines, last source line + tail.
struct Result {
    std::string first;                        // used when there is more than one line
    std::string last;                         // the last line (the only one when single)
    const std::vector<std::string_view>* middle = nullptr;  // source lines 1 ... n-1
    std::size_t lineCount = 0;                // source lines (n + 1)
    std::size_t cursorIndex = 0;              // in last: the end of the inserted text

    std::string_view Line(std::size_t k) const {
        if (k + 1 == lineCount) return last;
        if (k == 0) return first;
        return (*middle)[k];
    }
};

int Fail(int messageId) {
    ShowMessage(messageId);
    return -1;
}

int WriteResult(EditWindow& w, int c, const Result& result) {
    // The document's line buffer grows to hold the longest line, so that no line is cut
    // unless it is longer than the largest buffer there is.
    std::size_t longest = 0;
    for (std::size_t k = 0; k < result.lineCount; ++k) longest = std::max(longest, result.Line(k).size());
    w.doc->FitLineBuffer(longest);
    const std::size_t limit = static_cast<std::size_t>(std::max(1, WorkBufferSize(w) - 1));
    std::size_t total = 0;
    for (std::size_t k = 0; k < result.lineCount; ++k) total += PieceCount(result.Line(k).size(), limit);
    if (total > static_cast<std::size_t>(0x7FFFFFFF - 1) - static_cast<std::size_t>(std::max(c, 0)))
        return Fail(kMessageOutOfMemory);
    // The cursor line may lie past the end of the document: the empty line that would
    // follow the text's last LF there is no line of the document and is not written.
    const bool virtualCursorLine = c >= w.LineCount();
    if (w.doc->InsertLines(c + 1, static_cast<int>(total) - 1) != 0) return -1;
    int line = c;
    int cursorLine = c;
    std::size_t cursorIndex = 0;
    std::string_view cursorText;
    for (std::size_t k = 0; k < result.lineCount; ++k) {
        std::string_view text = result.Line(k);
        const bool lastLine = k + 1 == result.lineCount;
        for (std::size_t at = 0, n = PieceCount(text.size(), limit); n > 0; --n, at += limit, ++line) {
            std::string_view piece = text.substr(std::min(at, text.size()), limit);
            const bool skip = lastLine && n == 1 && piece.empty() && virtualCursorLine &&
                              result.lineCount > 1;
            if (!skip && w.doc->SetLine(line, piece) != 0) return -1;
            if (lastLine && result.cursorIndex >= at &&
                (result.cursorIndex < at + limit || n == 1)) {
                cursorLine = line;
                cursorIndex = result.cursorIndex - at;
                cursorText = piece;
            }
        }
    }
    SetCaret(w, cursorLine, IndexToColumn(w, cursorText, static_cast<int>(cursorIndex)));
    return 0;
}

}  // namespace

int InsertTextAtCursor(EditWindow& w, std::string_view text, LineEndRule rule) {
    const int c = std::max(w.caretLine, 0);
    bool cut = false;
    std::string line = WorkLine(w, c, &cut);
    if (cut) {  // writing the line back would lose its end
        HostBeep();
        return -1;
    }
    const std::size_t i = static_cast<std::size_t>(ColumnToIndex(w, line, w.caretCol));
    if (text.empty()) {
        SetCaret(w, c, IndexToColumn(w, line, static_cast<int>(i)));
        return 0;
    }
    try {
        WaitCursor wait;
        std::vector<std::string_view> lines = SourceLines(text, rule);
        std::string_view head = std::string_view(line).substr(0, i);
        std::string_view tail = std::string_view(line).substr(i);
        Result result;
        result.middle = &lines;
        result.lineCount = lines.size();
        if (lines.size() == 1) {
            result.last.reserve(head.size() + lines[0].size() + tail.size());
            result.last.append(head).append(lines[0]);
        } else {
            result.first.reserve(head.size() + lines[0].size());
            result.first.append(head).append(lines[0]);
            result.last.reserve(lines.back().size() + tail.size());
            result.last.append(lines.back());
        }
        result.cursorIndex = result.last.size();
        result.last.append(tail);
        return WriteResult(w, c, result);
    } catch (const std::bad_alloc&) {
        return Fail(kMessageOutOfMemory);
    } catch (const std::length_error&) {
        return Fail(kMessageOutOfMemory);
    }
}

std::string NarrowWideText(std::string_view bytes) {
    std::string narrow;
    narrow.resize(bytes.size() / 2);
    for (std::size_t k = 0; k < narrow.size(); ++k) narrow[k] = bytes[2 * k];
    return narrow;
}

int InsertStream(EditWindow& w, int fd, long offset, PieceKind kind, const std::string& name) {
    if (::lseek(fd, offset, SEEK_SET) < 0) {
        ShowMessage(kMessagePositionFailed, name);
        return -1;
    }
    TextStream stream;
    int error = 0;
    if (ReadStream(fd, kind == PieceKind::Plain, stream, error) != 0) {
        if (error == ENOMEM)
            ShowMessage(kMessageOutOfMemory);
        else
            ShowFileError(name, error);
        return -1;
    }
    std::string_view text(stream.block.get(), stream.block ? stream.size : 0);
    if (kind == PieceKind::Plain) return InsertTextAtCursor(w, text, LineEndRule::Reader);
    try {
        std::string narrow = NarrowWideText(text);
        stream.block.reset();
        return InsertTextAtCursor(w, narrow, LineEndRule::Reader);
    } catch (const std::bad_alloc&) {
        return Fail(kMessageOutOfMemory);
    }
}

}  // namespace varlin
