// UndoHistory: the steps of each document, kept as the inverse of what changed its lines.
#include "editing/UndoHistory.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/UndoRecord.h"
#include "platform/Host.h"
#include "settings/Options.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#ifndef _WIN32
#include <sys/mman.h>
#endif
#include <vector>

namespace varlin {
namespace {

// The steps of big changes (a replace-all) hold tens of megabytes each, taken and given
// back as steps come and go. From the common heap such blocks leave it in pieces that
// the process keeps although no step holds them any more (hundreds of megabytes after a
// few replace-alls of a large file, whatever UndoMemory said). So a step's blocks of a
// megabyte or more are mapped of their own and go back to the system when freed: the
// memory a step is counted with is then the memory it really holds.
constexpr std::size_t kMappedBlock = std::size_t(1) << 20;

template <typename T>
struct StepAllocator {
    using value_type = T;
    StepAllocator() = default;
    template <typename U>
    StepAllocator(const StepAllocator<U>&) {}
    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
#ifndef _WIN32
        if (bytes >= kMappedBlock) {
            void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block == MAP_FAILED) throw std::bad_alloc();
            return static_cast<T*>(block);
        }
#endif
        return static_cast<T*>(::operator new(bytes));
    }
    void deallocate(T* p, std::size_t n) {
#ifndef _WIN32
        if (n * sizeof(T) >= kMappedBlock) {
            ::munmap(p, n * sizeof(T));
            return;
        }
#endif
        ::operator delete(p);
    }
    friend bool operator==(const StepAllocator&, const StepAllocator&) { return true; }
};

// A line as it was: its bytes in the step's text, and whether it was null (never stored).
struct SavedLine {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    bool null = false;
};

// What one change did, in the form that undoes it.
struct Op {
    enum Kind : std::uint8_t { Set, Extend, Insert, Delete } kind;
    int line;             // the first line
    int count;            // how many lines
    std::uint32_t first;  // Set and Delete: their first SavedLine
};

enum class State {
    Action,  // takes every change of its action
    Typing,  // typing in one line: takes changes of that line, the join of the next one
    Done,    // its action is over: the next change begins a new step
};

struct Position {
    int caretLine = 0, caretCol = 0, firstLine = 0, firstCol = 0;
};

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

struct Step {
    std::vector<Op> ops;
    std::vector<SavedLine, StepAllocator<SavedLine>> lines;
    std::basic_string<char, std::char_traits<char>, StepAllocator<char>> text;
    Position before, after;
    bool afterKnown = false;
    int countAfter = 0;      // the line count the step left, checked before it is undone
    std::uint64_t id = 0;    // names the document state the step leads to
    State state = State::Action;
    bool joinNext = false;   // the next record joins this step
    int typingLine = -1;
    int freshFrom = 0, freshCount = 0;  // lines the last insertion added (their sets need no copy)
    std::size_t bytes = 0;

    std::size_t Size() const {
        return sizeof(Step) + text.capacity() + ops.capacity() * sizeof(Op) + lines.capacity() * sizeof(SavedLine);
    }
};

class History;
History* g_open = nullptr;  // the one history with an open step

Position PositionOf(const EditWindow& w) { return {w.caretLine, w.caretCol, w.firstLine, w.firstCol}; }

class History : public LineJournal {
public:
    explicit History(EditWindow& w) : w_(w) {
        w_.doc->journal = this;
        savedId_ = w_.modified ? kNever : 0;
    }
    ~History() override {
        if (w_.doc && w_.doc->journal == this) w_.doc->journal = nullptr;
    }

    EditWindow& window() { return w_; }
    bool HasOpen() const { return open_; }
    Step* Open() { return open_ ? &undo_.back() : nullptr; }

    void Close();
    Step& OpenNew(State state, bool joinNext);
    bool CanUndo() const { return undo_.size() > 1 || (!undo_.empty() && !(open_ && undo_.back().ops.empty())); }
    bool CanRedo() const { return !redo_.empty(); }
    void Undo();
    void Redo();
    void Saved() {
        Close();
        savedId_ = TopId();
    }
    void Reset() {
        if (g_open == this) g_open = nullptr;
        undo_.clear();
        redo_.clear();
        open_ = false;
        bytes_ = 0;
        baseId_ = savedId_ = 0;
    }
    HistorySize Size() const { return {int(undo_.size()), int(redo_.size()), bytes_ + (open_ ? undo_.back().Size() : 0)}; }

    void BeforeSet(int line) override;
    void BeforeExtend(int count, int n) override;
    void AfterInsert(int at, int n) override;
    void BeforeDelete(int at, int n) override;
    void Cleared() override { Reset(); }

private:
    Step* Target(Op::Kind kind, int line, int count);
    void SaveLines(Step& s, int at, int n);
    bool Replay(Step& s, Step& into);
    std::uint64_t TopId() const { return undo_.empty() ? baseId_ : undo_.back().id; }
    void Trim();
    void DropOldest();
    void MakeRoomFor(const Step& s);

    EditWindow& w_;
    std::deque<Step> undo_, redo_;
    bool open_ = false;           // undo_.back() is still taking changes
    Step* capture_ = nullptr;     // while undoing or redoing: the step that takes its inverse
    std::size_t bytes_ = 0;       // of the closed steps in both lists
    int justInserted_ = 0;        // lines inserted just before the store told of them
    std::uint64_t nextId_ = 1, baseId_ = 0, savedId_ = 0;
};

std::unordered_map<const EditWindow*, std::unique_ptr<History>>& Histories() {
    static std::unordered_map<const EditWindow*, std::unique_ptr<History>> histories;
    return histories;
}

History* Find(const EditWindow* w) {
    if (!w) return nullptr;
    auto it = Histories().find(w);
    return it == Histories().end() ? nullptr : it->second.get();
}

// The history of w, made (and told of the document's changes from now on) on first use.
History* HistoryOf(EditWindow& w) {
    if (!UndoHistoryOn() || !w.doc) return nullptr;
    History* h = Find(&w);
    if (!h) {
        auto made = std::make_unique<History>(w);
        h = made.get();
        Histories()[&w] = std::move(made);
    }
    if (w.doc->journal != h) {
        // Turned off and on again meanwhile: what it holds no longer fits the lines.
        h->Reset();
        w.doc->journal = h;
    }
    return h;
}

void History::Close() {
    if (!open_) return;
    open_ = false;
    if (g_open == this) g_open = nullptr;
    Step& s = undo_.back();
    if (s.ops.empty()) {
        undo_.pop_back();
        return;
    }
    if (!s.afterKnown) s.after = PositionOf(w_);
    // Closed by an insertion that is already made: the step left the lines before it.
    s.countAfter = w_.LineCount() - justInserted_;
    s.text.shrink_to_fit();
    s.ops.shrink_to_fit();
    s.lines.shrink_to_fit();
    s.bytes = s.Size();
    bytes_ += s.bytes;
    Trim();
}

// Oldest steps go first while the history holds more steps or bytes than allowed; the
// newest step stays whatever its size.
void History::Trim() {
    const Options& o = CurrentOptions();
    const std::size_t steps = static_cast<std::size_t>(o.UndoStepLimit());
    const std::size_t limit = o.UndoByteLimit();
    const std::size_t keep = open_ ? 2 : 1;
    while (undo_.size() > keep && (undo_.size() - (open_ ? 1 : 0) > steps || bytes_ > limit)) DropOldest();
}

void History::DropOldest() {
    bytes_ -= undo_.front().bytes;
    baseId_ = undo_.front().id;
    undo_.pop_front();
}

// While the open step grows, the older steps make room for it: a replace-all of a large
// file would otherwise hold the step before it as well, twice the memory allowed. (A new
// step has emptied the redo list already.)
void History::MakeRoomFor(const Step& s) {
    if (capture_ || !open_ || &s != &undo_.back() || undo_.size() < 2) return;
    const std::size_t limit = CurrentOptions().UndoByteLimit();
    while (undo_.size() > 1 && bytes_ + s.Size() > limit) DropOldest();
}

Step& History::OpenNew(State state, bool joinNext) {
    if (g_open && g_open != this) g_open->Close();
    Close();
    // A new change: what was undone cannot be replayed over it.
    for (const Step& r : redo_) {
        bytes_ -= r.bytes;
        if (r.id == savedId_) savedId_ = kNever;
    }
    redo_.clear();
    Trim();
    undo_.emplace_back();
    Step& s = undo_.back();
    s.id = nextId_++;
    s.state = state;
    s.joinNext = joinNext;
    s.before = PositionOf(w_);
    open_ = true;
    g_open = this;
    return s;
}

// The step a change goes into: the one being captured, the open one when the change is
// its own, else a new one.
Step* History::Target(Op::Kind kind, int line, int count) {
    if (capture_) return capture_;
    if (!UndoHistoryOn()) {
        // Turned off: the history is dropped and hears of nothing more.
        Reset();
        w_.doc->journal = nullptr;
        return nullptr;
    }
    Step* s = (g_open == this) ? Open() : nullptr;
    if (s && s->state == State::Typing) {
        const bool own = (kind == Op::Set && line == s->typingLine) || kind == Op::Extend ||
                         (kind == Op::Delete && line == s->typingLine + 1 && count == 1);
        if (!own) s = nullptr;
    } else if (s && s->state == State::Done) {
        s = nullptr;
    }
    if (!s) s = &OpenNew(State::Action, false);
    return s;
}

void History::SaveLines(Step& s, int at, int n) {
    for (int k = 0; k < n; ++k) {
        std::string_view v = w_.doc->LineView(at + k);
        s.lines.push_back({s.text.size(), static_cast<std::uint32_t>(v.size()), w_.doc->IsNullLine(at + k)});
        s.text.append(v);
    }
}

void History::BeforeSet(int line) {
    Step* s = Target(Op::Set, line, 1);
    if (!s) return;
    if (s->freshCount > 0 && line >= s->freshFrom && line < s->freshFrom + s->freshCount) return;
    if (!s->ops.empty()) {
        Op& last = s->ops.back();
        if (last.kind == Op::Set && line >= last.line && line < last.line + last.count) return;
        if (last.kind == Op::Set && line == last.line + last.count) {
            SaveLines(*s, line, 1);
            ++last.count;
            MakeRoomFor(*s);
            return;
        }
    }
    s->ops.push_back({Op::Set, line, 1, static_cast<std::uint32_t>(s->lines.size())});
    SaveLines(*s, line, 1);
    MakeRoomFor(*s);
}

void History::BeforeExtend(int count, int n) {
    Step* s = Target(Op::Extend, count, n);
    if (!s) return;
    if (!s->ops.empty() && s->ops.back().kind == Op::Extend && s->ops.back().line + s->ops.back().count == count) {
        s->ops.back().count += n;
    } else {
        s->ops.push_back({Op::Extend, count, n, 0});
        s->freshFrom = count;
        s->freshCount = 0;
    }
    s->freshCount += n;
}

void History::AfterInsert(int at, int n) {
    justInserted_ = n;
    Step* s = Target(Op::Insert, at, n);
    justInserted_ = 0;
    if (!s) return;
    s->ops.push_back({Op::Insert, at, n, 0});
    s->freshFrom = at;
    s->freshCount = n;
}

void History::BeforeDelete(int at, int n) {
    Step* s = Target(Op::Delete, at, n);
    if (!s) return;
    s->ops.push_back({Op::Delete, at, n, static_cast<std::uint32_t>(s->lines.size())});
    s->freshCount = 0;
    SaveLines(*s, at, n);
    MakeRoomFor(*s);
}

// Writes back what s took away, last change first; the store tells `into` what that
// takes away in turn. False when the store ran out of memory.
bool History::Replay(Step& s, Step& into) {
    capture_ = &into;
    LineStore& doc = *w_.doc;
    bool ok = true;
    auto write = [&](int line, const SavedLine& saved) {
        if (saved.null) return doc.SetNullLine(line) == 0;
        return doc.SetLine(line, std::string_view(s.text).substr(saved.offset, saved.size)) == 0;
    };
    for (auto op = s.ops.rbegin(); op != s.ops.rend() && ok; ++op) {
        switch (op->kind) {
        case Op::Set:
            for (int k = 0; k < op->count && ok; ++k) ok = write(op->line + k, s.lines[op->first + k]);
            break;
        case Op::Extend:
        case Op::Insert:
            doc.DeleteLines(op->line, op->count);
            break;
        case Op::Delete:
            if (op->line < doc.GetLineCount()) {
                ok = doc.InsertLines(op->line, op->count) == 0;
                for (int k = 0; k < op->count && ok; ++k) {
                    const SavedLine& saved = s.lines[op->first + k];
                    if (!saved.null) ok = write(op->line + k, saved);
                }
            } else {
                for (int k = 0; k < op->count && ok; ++k) ok = write(op->line + k, s.lines[op->first + k]);
            }
            break;
        }
    }
    capture_ = nullptr;
    return ok;
}

void ShowPosition(EditWindow& w, const Position& p) {
    ClearDrag(w);
    w.caretLine = std::min(p.caretLine, std::max(w.LineCount(), 0));
    w.caretCol = p.caretCol;
    w.firstLine = std::min(p.firstLine, w.caretLine);
    w.firstCol = p.firstCol;
    ShowViewAfterUndo(w);
}

// Takes the last step of `from` back and puts what that took away on `to`.
template <typename Done>
bool Apply(EditWindow& w, std::deque<Step>& from, std::deque<Step>& to, std::size_t& bytes, Done done) {
    Step s = std::move(from.back());
    from.pop_back();
    bytes -= s.bytes;
    if (w.LineCount() != s.countAfter) return false;  // changed behind the history's back
    Step inverse;
    inverse.id = s.id;
    inverse.before = s.after;
    inverse.after = s.before;
    inverse.afterKnown = true;
    inverse.state = State::Done;
    try {
        if (!done(s, inverse)) return false;
        inverse.countAfter = w.LineCount();
        inverse.text.shrink_to_fit();
        inverse.ops.shrink_to_fit();
        inverse.lines.shrink_to_fit();
        inverse.bytes = inverse.Size();
        bytes += inverse.bytes;
        to.push_back(std::move(inverse));
    } catch (const std::bad_alloc&) {
        return false;
    }
    ShowPosition(w, s.before);
    return true;
}

}  // namespace

void History::Undo() {
    Close();
    if (undo_.empty()) {
        HostBeep();
        return;
    }
    std::uint64_t reached = 0;
    const bool ok = Apply(w_, undo_, redo_, bytes_, [&](Step& s, Step& inverse) {
        reached = undo_.empty() ? baseId_ : undo_.back().id;
        return Replay(s, inverse);
    });
    if (!ok) {
        HostBeep();
        Reset();
        savedId_ = kNever;
        w_.modified = 1;
        return;
    }
    w_.modified = reached == savedId_ ? 0 : 1;
    RefreshStatus(w_, kStatusAll);
}

void History::Redo() {
    Close();
    if (redo_.empty()) {
        HostBeep();
        return;
    }
    std::uint64_t reached = redo_.back().id;
    const bool ok = Apply(w_, redo_, undo_, bytes_, [&](Step& s, Step& inverse) { return Replay(s, inverse); });
    if (!ok) {
        HostBeep();
        Reset();
        savedId_ = kNever;
        w_.modified = 1;
        return;
    }
    Trim();
    w_.modified = reached == savedId_ ? 0 : 1;
    RefreshStatus(w_, kStatusAll);
}

bool UndoHistoryOn() { return CurrentOptions().UndoSteps > 1; }

void EndHistoryStep() {
    if (g_open) g_open->Close();
}

void HistoryLineStep(EditWindow& w, int line) {
    History* h = HistoryOf(w);
    if (!h) return;
    Step* s = g_open == h ? h->Open() : nullptr;
    if (s && s->state == State::Typing && s->typingLine == line) return;
    if (s && s->joinNext) {
        s->joinNext = false;
    } else {
        s = &h->OpenNew(State::Typing, false);
    }
    s->state = State::Typing;
    s->typingLine = line;
}

void HistoryRecordStep(EditWindow& w) {
    History* h = HistoryOf(w);
    if (!h) return;
    Step* s = g_open == h ? h->Open() : nullptr;
    // The step stays open for the record an action makes twice (before and after it
    // deletes the marked range).
    if (s && s->joinNext) return;
    h->OpenNew(State::Action, true);
}

void HistoryStepDone(EditWindow& w) {
    History* h = Find(&w);
    if (!h || g_open != h || !UndoHistoryOn()) return;
    Step* s = h->Open();
    s->after = PositionOf(w);
    s->afterKnown = true;
    if (s->state != State::Typing) {
        s->state = State::Done;
        s->joinNext = false;
        h->Close();  // its action is over: it counts against the limits from now on
    }
}

void BeginHistoryStep(EditWindow& w, bool joinNext) {
    if (History* h = HistoryOf(w)) h->OpenNew(State::Action, joinNext);
}

bool HistoryCanUndo(const EditWindow* w) {
    const History* h = UndoHistoryOn() ? Find(w) : nullptr;
    return h && (h->CanUndo());
}

bool HistoryCanRedo(const EditWindow* w) {
    const History* h = UndoHistoryOn() ? Find(w) : nullptr;
    return h && h->CanRedo();
}

void HistoryUndo(EditWindow& w) {
    if (History* h = HistoryOf(w))
        h->Undo();
    else
        HostBeep();
}

void HistoryRedo(EditWindow& w) {
    if (History* h = HistoryOf(w))
        h->Redo();
    else
        HostBeep();
}

void HistorySaved(EditWindow& w) {
    // The one undo step kept through Save As now leads away from the saved text.
    if (TheUndoRecord().window == &w) TheUndoRecord().fromSavedText = false;
    if (History* h = UndoHistoryOn() ? Find(&w) : nullptr) h->Saved();
}

void StartHistory(EditWindow& w) {
    if (History* h = HistoryOf(w)) {
        h->Reset();
        h->window().modified = 0;
    }
}

void DropHistory(const EditWindow& w) {
    auto it = Histories().find(&w);
    if (it == Histories().end()) return;
    if (g_open == it->second.get()) g_open = nullptr;
    Histories().erase(it);
}

HistorySize HistorySizeOf(const EditWindow& w) {
    const History* h = Find(&w);
    return h ? h->Size() : HistorySize{};
}

}  // namespace varlin
