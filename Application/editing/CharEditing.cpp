// Character editing: typing (insert and overwrite mode, the code-table conversion),
// inserting a blank, Backspace and Delete with their joins of two lines, and the deletion
// of a marked range that typing over it and Delete perform. A line is edited as a copy of
// at most LngLineBuffer - 1 characters and written back whole.
#include "editing/EditActions.h"

#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "platform/Host.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"
#include "editing/UndoHistory.h"

#include <algorithm>
#include <cstdint>

namespace varlin {
namespace {

constexpr unsigned char kAcuteAccent = 180;
constexpr unsigned char kApostrophe = 39;

// The copy of a line that an action will write back; false (with a beep) when the stored
// line is longer than the work buffer, whose write-back would lose the rest of it.
bool EditableCopy(const EditWindow& w, int line, std::string& text) {
    bool cut = false;
    text = WorkLine(w, line, &cut);
    if (cut) HostBeep();
    return !cut;
}

int Length(const std::string& s) { return static_cast<int>(s.size()); }

// Writes a changed line back, repaints it and marks the document changed.
void WriteBack(EditWindow& w, int line, const std::string& text) {
    const bool hadDelimiter = w.doc->HasCommentDelimiter(line);
    w.doc->SetLine(line, text);
    RepaintLine(w, line, hadDelimiter);
    w.modified = 1;
}

// Backspace at the first text column: the line moves up onto the end of the line above.
// A join whose result would not fit the work buffer is refused instead of cutting text.
void JoinWithLineAbove(EditWindow& w) {
    ForgetUndo();
    ClearDrag(w);
    const int line = w.caretLine;
    std::string upper;
    if (!EditableCopy(w, line - 1, upper)) return;
    std::string_view lower = w.doc->LineView(line);
    if (upper.size() + lower.size() > static_cast<std::size_t>(WorkBufferSize(w) - 2)) {
        HostBeep();
        return;
    }
    const int oldEnd = Length(upper);
    upper.append(lower);
    w.doc->SetLine(line - 1, upper);
    w.doc->DeleteLines(line, 1);
    SetCaret(w, line - 1, IndexToColumn(w, upper, oldEnd));
    RepaintFrom(w, line - 1);
    RefreshStatus(w, kStatusLineCount);
    w.modified = 1;
}

void DeleteMarkedRange(EditWindow& w, const DragRange& r) {
    SaveRangeForUndo(w, r);
    int col = DeleteRange(w, r);
    if (col < 0) {
        ForgetUndo();  // nothing was deleted: the saved text must not come back
        return;
    }
    SetCaret(w, std::max(r.FromLine, 0), col);
    EndUndoStep(w);
    RepaintFrom(w, std::max(r.FromLine, 0));
    RefreshStatus(w, kStatusAll);
    ClearDrag(w);
    w.modified = 1;
}

void DeleteCharacter(EditWindow& w) {
    const int line = w.caretLine;
    if (line >= w.LineCount()) return;
    ClearDrag(w);
    std::string t;
    if (!EditableCopy(w, line, t)) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    if (i < Length(t)) {
        SaveLineForUndo(w, t);
        t.erase(static_cast<std::size_t>(i), static_cast<std::size_t>(CharLengthAt(w, t, i)));
        WriteBack(w, line, t);
        EndUndoStep(w);
        // On the second cell of a wide character the cursor goes to where it stood.
        if (w.doc->utf8 && IndexToColumn(w, t, i) != w.caretCol) SetCaret(w, line, IndexToColumn(w, t, i));
        return;
    }
    // At or beyond the end: the next line is joined on. A join that would not fit is
    // refused rather than cutting the next line's text.
    SetCaret(w, line, IndexToColumn(w, t, Length(t)));
    if (line + 1 >= w.LineCount()) return;
    std::string_view next = w.doc->LineView(line + 1);
    if (t.size() + next.size() > static_cast<std::size_t>(WorkBufferSize(w) - 1)) {
        HostBeep();
        return;
    }
    // The step keeps both lines: Undo splits them again.
    SaveLineForUndo(w, t);
    SaveJoinedLineForUndo(w, next);
    t.append(next);
    w.doc->SetLine(line, t);
    w.doc->DeleteLines(line + 1, 1);
    EndUndoStep(w);
    RepaintAll(w);
    RefreshStatus(w, kStatusLineCount);
    w.modified = 1;
}

}  // namespace

bool OpenGap(std::string& text, int i, int n, int bufferSize) {
    if (n < 0) return false;
    if (static_cast<long long>(text.size()) + n >= static_cast<long long>(bufferSize) - 1) return false;
    std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(std::max(i, 0)), text.size());
    text.insert(at, static_cast<std::size_t>(n), ' ');
    return true;
}

namespace {

// The bytes a typed code stands for in a UTF-8 document: the code point's sequence; a
// negative code is a sign-extended Windows-1252 byte (what a recording made in a
// code-table document holds) and types that byte's character. Empty for a surrogate,
// a value beyond U+10FFFF or a control character other than the tab.
std::string Utf8OfTypedCode(int code) {
    char32_t cp = code < 0 ? char32_t(AnsiGlyph(static_cast<unsigned char>(code & 0xFF))) : char32_t(code);
    if (code < 0 && (code & 0xFF) < 32) cp = 0;
    if (cp == 0xB4) cp = kApostrophe;  // the acute accent, as in a code-table document
    if (cp < 32 && cp != '\t') return {};
    return Utf8Of(cp);
}

// Puts one character's bytes at the cursor: inserted, or over the character under the
// cursor in overwrite mode, or appended beyond the text. The line limit counts bytes.
void PutCharacter(EditWindow& w, std::string_view bytes) {
    const Options& o = CurrentOptions();
    const int line = w.caretLine;
    std::string t;
    if (!EditableCopy(w, line, t)) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    const int n = static_cast<int>(bytes.size());
    SaveLineForUndo(w, t);
    if (o.InsertMode) {
        if (!OpenGap(t, i, n, WorkBufferSize(w))) {
            HostBeep();
            return;
        }
        t.replace(static_cast<std::size_t>(i), static_cast<std::size_t>(n), bytes);
    } else {
        const int old = i < Length(t) ? CharLengthAt(w, t, i) : 0;
        if (Length(t) - old + n > WorkBufferSize(w) - 1) {
            HostBeep();
            return;
        }
        t.replace(static_cast<std::size_t>(i), static_cast<std::size_t>(old), bytes);
    }
    WriteBack(w, line, t);
    EndUndoStep(w);
    RefreshStatus(w, kStatusLineCount);
    SetCaret(w, line, IndexToColumn(w, t, i + n));
}

}  // namespace

void InsertChar(EditWindow& w, int code) {
    // Of every code the low 8 bits are the character (in a UTF-8 document the whole code
    // point): a control character there (other than the tab) would split or cut the line
    // when it is saved, so it types nothing.
    const bool utf8 = w.doc->utf8;
    unsigned char ch = static_cast<unsigned char>(code & 0xFF);
    std::string bytes;
    if (utf8) {
        bytes = Utf8OfTypedCode(code);
        if (bytes.empty()) return;
    } else if (ch < 32 && ch != '\t') {
        return;
    }
    const Options& o = CurrentOptions();
    if (o.AutoDelDrag) {
        DragRange r;
        if (GetNormalizedDrag(w, r) == kDragMarked) {
            BeginHistoryStep(w, true);  // the typing joins the deletion's step
            int col = DeleteRange(w, r);
            if (col < 0) return;
            w.modified = 1;
            SetCaret(w, std::max(r.FromLine, 0), col);
            RepaintFrom(w, std::max(r.FromLine, 0));
        }
    }
    ClearDrag(w);
    if (utf8) {
        RecordLong(kActInsertChar, code < 0 ? code : static_cast<std::int32_t>(Utf8Decode(bytes, 0)));
        PutCharacter(w, bytes);
        return;
    }
    RecordLong(kActInsertChar, static_cast<signed char>(ch));
    if (ch == kAcuteAccent) ch = kApostrophe;
    if (o.CodeTable == kCodeTableOem) ch = AnsiToOem(ch);
    const char byte = static_cast<char>(ch);
    PutCharacter(w, std::string_view(&byte, 1));
}

void InsertText(EditWindow& w, std::string_view text) {
    if (!w.doc->utf8) {
        for (char c : text) InsertChar(w, static_cast<unsigned char>(c));
        return;
    }
    // A UTF-8 document takes the text's characters; a byte that is no UTF-8 is read as
    // Windows-1252, the table of texts written for code-table documents.
    for (int i = 0; i < static_cast<int>(text.size());) {
        int length = 1;
        const char32_t cp = Utf8Decode(text, i, &length);
        InsertChar(w, cp == kInvalidByte ? static_cast<signed char>(text[i]) : static_cast<int>(cp));
        i += length;
    }
}

void InsertSpace(EditWindow& w) {
    RecordAction(kActInsertSpace);
    const int line = w.caretLine;
    if (line >= w.LineCount()) return;
    ClearDrag(w);
    std::string t;
    if (!EditableCopy(w, line, t)) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    SaveLineForUndo(w, t);
    if (!OpenGap(t, i, 1, WorkBufferSize(w))) {
        HostBeep();
        return;
    }
    WriteBack(w, line, t);
    EndUndoStep(w);
}

void Backspace(EditWindow& w) {
    RecordAction(kActBackspace);
    const int line = w.caretLine;
    if (line >= w.LineCount()) return;
    const int margin = MarginWidth(w);
    if (w.caretCol > margin) {
        ClearDrag(w);
        std::string t;
        if (!EditableCopy(w, line, t)) return;
        int i = ColumnToIndex(w, t, w.caretCol);
        if (i == 0) {
            SetCaret(w, line, margin);
            return;
        }
        const int p = PrevCharIndex(w, t, i);
        SaveLineForUndo(w, t);
        t.erase(static_cast<std::size_t>(p), static_cast<std::size_t>(i - p));
        WriteBack(w, line, t);
        EndUndoStep(w);
        SetCaret(w, line, IndexToColumn(w, t, p));
    } else if (w.caretCol == margin && line > 0) {
        JoinWithLineAbove(w);
    }
}

void Delete(EditWindow& w) {
    RecordAction(kActDelete);
    DragRange r;
    if (GetNormalizedDrag(w, r) == kDragMarked)
        DeleteMarkedRange(w, r);
    else
        DeleteCharacter(w);
}

int DeleteRange(EditWindow& w, const DragRange& range) {
    DragRange r = range;
    if (r.ToLine < 0 || r.ToLine < r.FromLine) return -1;
    const int margin = MarginWidth(w);
    if (r.FromLine < 0) {
        r.FromLine = 0;
        r.FromCol = margin;
    }
    bool cutA = false;
    bool cutB = false;
    std::string a = WorkLine(w, r.FromLine, &cutA);
    std::string b = WorkLine(w, r.ToLine, &cutB);
    int s = ColumnToIndex(w, a, r.FromCol);
    int e = ColumnToIndex(w, b, r.ToCol);
    if (s == 0 && e >= Length(b)) {
        ShiftUndoLines(w, r.FromLine, -(r.ToLine - r.FromLine + 1));
        w.doc->DeleteLines(r.FromLine, r.ToLine - r.FromLine + 1);
        return margin;
    }
    // The first line is written back: refuse when that would cut a stored line's text.
    if (cutB || (cutA && r.FromLine == r.ToLine)) {
        HostBeep();
        return -1;
    }
    a.resize(static_cast<std::size_t>(s));
    if (e < Length(b)) {
        std::string_view tail = std::string_view(b).substr(static_cast<std::size_t>(NextCharIndex(w, b, e)));
        if (a.size() + tail.size() > static_cast<std::size_t>(WorkBufferSize(w) - 1)) {
            HostBeep();
            return -1;
        }
        a.append(tail);
    }
    // The lines of the range become one: a step kept meanwhile on them goes, one below
    // follows its lines.
    ShiftUndoLines(w, r.FromLine, -(r.ToLine - r.FromLine + 1));
    ShiftUndoLines(w, r.FromLine, 1);
    w.doc->SetLine(r.FromLine, a);
    if (r.ToLine > r.FromLine) w.doc->DeleteLines(r.FromLine + 1, r.ToLine - r.FromLine);
    return IndexToColumn(w, a, s);
}

}  // namespace varlin
