// The escape notation of search texts and the search it serves: the input's first byte
// gives a buffer size and a choice of notations, the second the search's options, the
// rest is a text. The text is expanded in both forms (the buffer form never writes beyond
// its size and gives what the string form gives, cut), and the text's own bytes, written
// in notations chosen byte by byte, expand back to themselves. Then the text up to its
// first LF is searched for in the rest: the scan finds the first place where the pattern
// stands, as a plain comparison of every place finds it.
#include "FuzzSupport.h"

#include "platform/EscapeNotation.h"
#include "search/SearchEngine.h"
#include "textutil/Utf8.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using namespace varlin;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

const char* NamedOf(char c) {
    static const char kNamed[][2] = {{'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}, {'\f', 'f'},
                                     {'\v', 'v'}, {'\a', 'a'}, {'\b', 'b'}, {27, 'e'}};
    for (const auto& named : kNamed)
        if (named[0] == c) return &named[1];
    return nullptr;
}

// Writes the bytes (no NUL among them) in the notation; choice picks among the ways of
// writing each byte.
std::string Notation(const std::string& bytes, unsigned choice) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const auto u = static_cast<unsigned char>(c);
        const bool nextIsHex = i + 1 < bytes.size() && IsHexDigit(bytes[i + 1]);
        choice = choice * 5 + 3;
        switch (choice % 4) {
        case 0:
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
            continue;
        case 1:
            if (u < 16 && !nextIsHex) {
                out += "\\x";
                out += kHex[u];
                continue;
            }
            break;
        case 2:
            if (const char* name = NamedOf(c)) {
                out += '\\';
                out += *name;
                continue;
            }
            break;
        default: break;
        }
        if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

// The search's text: the pattern must be found where it first stands at or after from.
void CheckSearch(std::uint8_t flags, std::string_view findText, std::string_view line, int from) {
    FindSettings settings;
    settings.FindString = std::string(findText);
    settings.ExpandEscapes = flags & 1;
    settings.CapsSens = (flags >> 1) & 1;
    static const int kCodeTables[] = {0, 1, 3, 0};
    const int codeTable = kCodeTables[(flags >> 2) & 3];
    SearchPattern pattern;
    if (!CompilePattern(settings, codeTable, pattern)) return;
    // The line in a block of its own size, so that a scan reading past it is caught.
    auto block = std::make_unique<char[]>(line.size() + 1);
    std::memcpy(block.get(), line.data(), line.size());
    const std::string_view exact(block.get(), line.size());
    const int hit = FindInLine(pattern, exact, from);
    if (pattern.utf8Folded) {
        if (hit >= 0 && (hit < from || !PatternAt(pattern, exact, hit)))
            fuzz::Fail("a UTF-8 search found a place where the pattern does not stand");
        return;
    }
    const std::size_t n = pattern.text.size();
    int first = -1;
    for (std::size_t i = std::size_t(std::max(from, 0)); first < 0 && i + n <= line.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; same && k < n; ++k) {
            const auto b = static_cast<unsigned char>(line[i + k]);
            same = (pattern.folded ? pattern.fold[b] : b) == static_cast<unsigned char>(pattern.text[k]);
        }
        if (same) first = int(i);
    }
    if (hit != first) fuzz::Fail("the search found another place than the first where the pattern stands");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t first = input.Byte();
    const std::uint8_t flags = input.Byte();
    const std::string text(input.Rest());

    std::string expanded;
    const bool accepted = EscapeToBinary(text, expanded);
    if (!accepted && !expanded.empty()) fuzz::Fail("a refused text left a result");

    // The buffer form reads a zero-terminated text into exactly size bytes.
    const std::string cText = text.substr(0, text.find('\0'));
    std::string cExpanded;
    const bool cAccepted = EscapeToBinary(cText, cExpanded);
    if (cAccepted && cExpanded.find('\0') != std::string::npos) fuzz::Fail("a NUL came out of a text");
    const int room = first % 64 + 1;
    auto buffer = std::make_unique<char[]>(std::size_t(room));
    const int n = Korvel_EscapeToBinary(cText.c_str(), buffer.get(), room);
    if (!cAccepted) {
        if (n != -1 || buffer[0] != '\0') fuzz::Fail("a refused text was not refused in a buffer");
    } else {
        const std::size_t want = std::min(cExpanded.size(), std::size_t(room - 1));
        if (n != int(want) || std::memcmp(buffer.get(), cExpanded.data(), want) != 0 || buffer[want] != '\0')
            fuzz::Fail("the buffer form differs from the string form");
    }

    std::string plain = text;
    std::erase(plain, '\0');
    std::string back;
    if (!EscapeToBinary(Notation(plain, first), back) || back != plain)
        fuzz::Fail("bytes written in the notation did not expand to themselves");

    fuzz::InputReader search(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const std::string_view findText = search.Piece('\n');
    CheckSearch(flags, findText, search.Rest(), (flags >> 4) - 2);
    return 0;
}
