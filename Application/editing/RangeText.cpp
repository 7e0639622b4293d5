// RangeText: slicing a marked range into the bytes that leave the document, for the
// clipboard, for files and for the undo record.
#include "editing/RangeText.h"

#include "platform/Host.h"
#include "platform/Messages.h"

#include <algorithm>
#include <new>

namespace varlin {
namespace {

constexpr int kMessageNoMemory = 1004;

}  // namespace

bool ForEachSlice(const EditWindow& w, const DragRange& range, const SliceSink& sink) {
    DragRange r = range;
    if (r.FromLine < 0) {
        r.FromLine = 0;
        r.FromCol = MarginWidth(w);
    }
    const int count = w.LineCount();
    bool toEnd = false;  // the last line is taken to the end of its text
    if (r.ToLine >= count) {
        r.ToLine = count - 1;
        toEnd = true;
    }
    for (int line = r.FromLine; line <= r.ToLine; ++line) {
        // The whole stored line: a slice never loses what lies beyond the work buffer.
        std::string_view text = w.doc->LineView(line);
        const std::size_t length = text.size();
        std::size_t s = line == r.FromLine ? static_cast<std::size_t>(ColumnToIndex(w, text, r.FromCol)) : 0;
        std::size_t e = line == r.ToLine && !toEnd ? static_cast<std::size_t>(ColumnToIndex(w, text, r.ToCol))
                                                   : length;
        // The range ends with the whole character at its last column.
        if (e < length) e = static_cast<std::size_t>(NextCharIndex(w, text, static_cast<int>(e))) - 1;
        bool ok = e < length ? sink(text.substr(s, e + 1 - std::min(s, e + 1)), false)
                             : sink(text.substr(std::min(s, length)), true);
        if (!ok) return false;
    }
    return true;
}

long long RangeTextSize(const EditWindow& w, const DragRange& range) {
    long long size = 0;
    ForEachSlice(w, range, [&size](std::string_view bytes, bool lineBreak) {
        size += static_cast<long long>(bytes.size()) + (lineBreak ? 2 : 0);
        return true;
    });
    return size;
}

bool RangeText(const EditWindow& w, const DragRange& range, std::string& text) {
    try {
        text.clear();
        text.reserve(static_cast<std::size_t>(RangeTextSize(w, range)));
        ForEachSlice(w, range, [&text](std::string_view bytes, bool lineBreak) {
            text.append(bytes);
            if (lineBreak) text.append("\r\n");
            return true;
        });
    } catch (const std::bad_alloc&) {
        text.clear();
        text.shrink_to_fit();
        ShowMessage(kMessageNoMemory);
        return false;
    } catch (const std::length_error&) {
        text.clear();
        ShowMessage(kMessageNoMemory);
        return false;
    }
    return true;
}

int WriteRangeToStream(const EditWindow& w, const DragRange& range, std::FILE* stream,
                       long offset, const std::string& name) {
    if (!stream || std::fseek(stream, offset, SEEK_SET) != 0) {
        ShowMessage(kMessagePositionFailed, name);
        return -1;
    }
    WaitCursor wait;
    bool ok = ForEachSlice(w, range, [stream](std::string_view bytes, bool lineBreak) {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size())
            return false;
        return !lineBreak || std::fwrite("\r\n", 1, 2, stream) == 2;
    });
    // A full disk shows itself only when the buffer goes out.
    if (!ok || std::fflush(stream) != 0) {
        ShowMessage(kMessageWriteFailed, name);
        return -1;
    }
    return 0;
}

}  // namespace varlin
