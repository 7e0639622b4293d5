// Regular-expression find and replace-all against a plain model on short lines. The
// input's first byte gives the flags (CapsSens, StartOfLine, EndOfLine) and whether the
// expression is a quoted literal or the empty one, the second the cursor; then come the
// literal and the replacement, and the lines, all over a small alphabet so that hits are
// common. The document is loaded from a file, so that the literal's scan over runs of
// lines in their read block is taken too. The model is string search: the first place at
// or after the cursor that meets the flags, and left-to-right replacement that goes on
// behind each hit (for the empty expression: one insertion at every place).
#include "FuzzSupport.h"

#include "document/TextFile.h"
#include "editing/EditWindow.h"
#include "search/FindReplace.h"
#include "search/SearchEngine.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace varlin;

constexpr char kAlphabet[] = "aAbB\xE4\xC4 .";

std::string Map(std::string_view bytes, std::size_t most) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && out.size() < most; ++i)
        out += kAlphabet[static_cast<unsigned char>(bytes[i]) % 8];
    return out;
}

// The literal as an expression: ASCII punctuation quoted, the rest as it stands.
std::string Quote(const std::string& literal) {
    std::string out;
    for (char c : literal) {
        if (c == ' ' || c == '.') out += '\\';
        out += c;
    }
    return out;
}

std::string Folded(std::string s, bool caps) {
    if (!caps) AnsiUpperBytes(s);
    return s;
}

// The model's hit in line from `from` on: an index or npos.
std::size_t ModelHit(const std::string& line, std::size_t from, const std::string& pattern, int mode) {
    const bool caps = mode & 1;
    const std::string l = Folded(line, caps);
    const std::string p = Folded(pattern, caps);
    if (from > l.size()) return std::string::npos;
    if (mode & 2) {
        if (from > 0 || l.compare(0, p.size(), p) != 0) return std::string::npos;
        return (mode & 4) && l.size() != p.size() ? std::string::npos : 0;
    }
    if (mode & 4) {
        if (l.size() < p.size() || l.size() - p.size() < from) return std::string::npos;
        return l.compare(l.size() - p.size(), p.size(), p) == 0 ? l.size() - p.size() : std::string::npos;
    }
    return l.find(p, from);
}

std::string ModelReplaceLine(const std::string& line, std::size_t from, const std::string& pattern,
                             const std::string& replacement, int mode) {
    std::string out = line.substr(0, from);
    std::size_t pos = from;
    if (pattern.empty()) {
        // Once at every place the flags allow.
        for (std::size_t p = from; p <= line.size(); ++p) {
            const bool allowed = (!(mode & 2) || p == 0) && (!(mode & 4) || p == line.size());
            if (allowed) out += replacement;
            if (p < line.size()) out += line[p];
        }
        return out;
    }
    for (std::size_t hit = ModelHit(line, pos, pattern, mode); hit != std::string::npos;
         hit = ModelHit(line, pos, pattern, mode)) {
        out.append(line, pos, hit - pos);
        out += replacement;
        pos = hit + pattern.size();
    }
    return out + line.substr(pos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    HeadlessHost& host = fuzz::QuietHost();
    static Options options;
    options.LineNumbers = 0;
    options.CodeTable = kCodeTableAnsi;
    SetCurrentOptions(&options);

    const std::uint8_t flags = input.Byte();
    const int mode = flags & 7;
    const bool empty = flags & 8;
    const std::uint8_t cursor = input.Byte();
    const std::string pattern = empty ? std::string() : Map(input.Piece('\n'), 6);
    if (!empty && pattern.empty()) return 0;
    const std::string replacement = Map(input.Piece('\n'), 4);
    std::vector<std::string> lines;
    std::string file;
    while (!input.Rest().empty() && lines.size() < 24) {
        lines.push_back(Map(input.Piece('\n'), 24));
        file += lines.back() + "\n";
    }
    if (lines.empty()) return 0;
    fuzz::WriteFile(fuzz::ScratchPath("regex.txt"), file);

    EditWindow w;
    if (Load(*w.doc, fuzz::ScratchPath("regex.txt"), 0) != 0 || w.LineCount() != int(lines.size()))
        fuzz::Fail("the lines were not loaded");
    const int startLine = cursor % int(lines.size());
    const std::size_t startIndex = (cursor >> 4) % (lines[std::size_t(startLine)].size() + 1);
    const std::string expression = empty ? std::string() : Quote(pattern);

    // Find: the first hit at or after the cursor.
    FindSettings s;
    s.FindString = expression.empty() ? "(?:)" : expression;
    ApplyMode(s, mode | kModeRegex, ModeUse::Find);
    int line = startLine;
    int col = IndexToColumn(w, w.doc->LineView(line), int(startIndex));
    const int found = SearchForward(s, w, line, col);
    int modelLine = -1;
    std::size_t modelIndex = 0;
    for (int l = startLine; l < int(lines.size()) && modelLine < 0; ++l) {
        const std::size_t from = l == startLine ? startIndex : 0;
        std::size_t hit = std::string::npos;
        if (empty)
            hit = (mode & 2) ? (from == 0 ? 0 : hit) : (mode & 4) ? lines[std::size_t(l)].size() : from;
        else
            hit = ModelHit(lines[std::size_t(l)], from, pattern, mode);
        if (empty && (mode & 6) == 6 && !lines[std::size_t(l)].empty()) hit = std::string::npos;
        if (hit != std::string::npos) modelLine = l, modelIndex = hit;
    }
    if ((found == 1) != (modelLine >= 0)) fuzz::Fail("find: hit and model disagree");
    if (found == 1 && (line != modelLine || col != IndexToColumn(w, w.doc->LineView(line), int(modelIndex))))
        fuzz::Fail("find: not the model's hit");

    // Replace all from the cursor.
    w.caretLine = startLine;
    w.caretCol = IndexToColumn(w, w.doc->LineView(startLine), int(startIndex));
    Replace(w, empty ? "(?:)" : expression, replacement, mode | kModeReplaceAll | kModeRegex);
    for (int l = 0; l < int(lines.size()); ++l) {
        std::string expected = lines[std::size_t(l)];
        if (l >= startLine) {
            const std::size_t from = l == startLine ? startIndex : 0;
            expected = ModelReplaceLine(expected, from, pattern, replacement, mode);
        }
        if (w.doc->LineView(l) != expected) fuzz::Fail("replace all: a line differs from the model");
    }
    if (!host.messageIds.empty()) fuzz::Fail("a message was shown");
    SetCurrentOptions(nullptr);
    fuzz::ClearScratchFiles();
    return 0;
}
