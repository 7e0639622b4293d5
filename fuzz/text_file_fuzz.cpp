// The file reader and writer: the input's first bytes choose LockMode (raw or text mode),
// KeepLineEnds, LngLineBuffer and a line range, the rest is a file. It is loaded, saved
// under another name, and what the reading rules promise is checked:
// - a file loads as its lines without their ends (LF splits, trailing CR, LF and 0x1A go;
//   text mode stops at the first 0x1A), whatever the line buffer: a line is never split,
//   the document's buffer holds its longest line instead; it is saved as exactly those
//   lines, each ended by LF when the file held LFs and no CR LF (and KeepLineEnds is
//   on), else by CR LF;
// - so a saved file loads and saves again byte for byte;
// - a line range is written as exactly those lines;
// - a file just loaded or saved is not taken for one changed by another program, and its
//   hash is the same whatever pieces the bytes are hashed in.
#include "FuzzSupport.h"

#include "document/DiskIdentity.h"
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "settings/Options.h"

#include <algorithm>
#include <vector>

namespace {

using namespace varlin;
using Lines = std::vector<std::string>;

struct Model {
    std::string stream;   // what the reader sees after the text-mode translation
    std::string lineEnd;  // what the writer ends lines with
};

Model ModelOf(std::string bytes, const Options& options) {
    Model m;
    const bool textMode = options.LockMode == 0;
    if (textMode) bytes = bytes.substr(0, bytes.find('\x1A'));
    const bool sawLf = bytes.find('\n') != std::string::npos;
    const bool sawCrLf = bytes.find("\r\n") != std::string::npos;
    m.lineEnd = options.KeepLineEnds != 0 && sawLf && !sawCrLf ? "\n" : "\r\n";
    if (textMode) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) m.stream += bytes[i];
    } else {
        m.stream = std::move(bytes);
    }
    return m;
}

bool IsLineEndByte(char c) { return c == '\r' || c == '\n' || c == '\x1A'; }

Lines LinesOf(const std::string& stream) {
    Lines lines;
    std::size_t start = 0;
    while (start < stream.size()) {
        std::size_t lf = stream.find('\n', start);
        std::size_t end = lf == std::string::npos ? stream.size() : lf;
        std::size_t keep = end;
        while (keep > start && IsLineEndByte(stream[keep - 1])) --keep;
        lines.push_back(stream.substr(start, keep - start));
        start = end + 1;
    }
    return lines;
}

Lines StoreLines(const LineStore& store) {
    Lines lines;
    for (int i = 0; i < store.GetLineCount(); ++i) lines.emplace_back(store.LineView(i));
    return lines;
}

std::string Joined(const Lines& lines, std::size_t from, std::size_t to, const std::string& end) {
    std::string out;
    for (std::size_t i = from; i < to && i < lines.size(); ++i) out += lines[i] + end;
    return out;
}

// Loads name, checks its lines and the document's line buffer, saves it as saved.
void LoadAndSave(const std::string& name, const std::string& saved, const Options& options,
                 LineStore& store) {
    const Model m = ModelOf(fuzz::ReadFile(name), options);
    if (Load(store, name, 1) != 0) fuzz::Fail("a regular file did not load");
    if (ChangedOnDisk(store.disk, name)) fuzz::Fail("a file just loaded counts as changed on disk");
    const Lines lines = StoreLines(store);
    if (lines != LinesOf(m.stream)) fuzz::Fail("the lines read are not the file's lines");
    for (const std::string& line : lines)
        if (line.size() + 1 > std::size_t(store.LineBuffer())) fuzz::Fail("a line does not fit the document's line buffer");
    if (store.LineBuffer() < options.LineBufferSize()) fuzz::Fail("the document's line buffer is below LngLineBuffer");
    if (SaveTo(store, saved) != 0) fuzz::Fail("the save failed");
    if (ChangedOnDisk(store.disk, saved)) fuzz::Fail("a file just saved counts as changed on disk");
    if (fuzz::ReadFile(saved) != Joined(lines, 0, lines.size(), m.lineEnd))
        fuzz::Fail("the file saved is not the lines read with their line ends");
}

// The hash of bytes given in pieces (their sizes taken from the bytes themselves) is
// the hash of the whole, which the identity of the file holds.
void CheckHash(const std::string& bytes, const std::string& name) {
    ContentHash whole;
    whole.Update(bytes.data(), bytes.size());
    ContentHash pieces;
    std::size_t at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const std::size_t n = std::min(bytes.size() - at, 1 + std::size_t(static_cast<unsigned char>(bytes[i % bytes.size()])) % 70);
        pieces.Update(bytes.data() + at, n);
        at += n;
    }
    if (pieces.Value() != whole.Value()) fuzz::Fail("hashing in pieces gave another hash");
    if (CurrentIdentity(name).hash != whole.Value()) fuzz::Fail("the identity of a file holds another hash");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietHost();
    fuzz::InputReader input(data, size);
    Options options;
    const std::uint8_t mode = input.Byte();
    options.LockMode = mode & 1;
    options.KeepLineEnds = (mode >> 1) & 1;
    const std::uint8_t buffer = input.Byte();
    options.LngLineBuffer = buffer == 0 ? 3000 : buffer < 128 ? buffer : 128 - buffer;
    const int from = static_cast<std::int8_t>(input.Byte());
    const int to = static_cast<std::int8_t>(input.Byte());
    SetCurrentOptions(&options);

    const std::string original = fuzz::ScratchPath("original.txt");
    const std::string saved = fuzz::ScratchPath("saved.txt");
    const std::string again = fuzz::ScratchPath("again.txt");
    fuzz::WriteFile(original, input.Rest());
    CheckHash(std::string(input.Rest()), original);
    {
        LineStore store;
        LoadAndSave(original, saved, options, store);
        const Lines lines = StoreLines(store);
        const std::string range = fuzz::ScratchPath("range.txt");
        const LineEnds ends = (mode >> 2) & 1 ? LineEnds::Lf : LineEnds::CrLf;
        if (WriteRange(store, range, from, to, ends) != 0) fuzz::Fail("a range was not written");
        const std::size_t first = std::size_t(std::max(from, 0));
        const std::size_t last = to < 0 ? 0 : std::size_t(to) + 1;
        if (fuzz::ReadFile(range) != Joined(lines, first, last, LineEndBytes(ends)))
            fuzz::Fail("the range written is not those lines");
    }
    const std::string first = fuzz::ReadFile(saved);
    {
        LineStore store;
        LoadAndSave(saved, again, options, store);
        if (fuzz::ReadFile(again) != first) fuzz::Fail("a saved file changed on its next load and save");
    }
    SetCurrentOptions(nullptr);
    return 0;
}
