// HTML sequences: the table and the conversions between accented letters and their
// sequences. A 256-entry index built from the table answers "which sequence for this
// byte" in one step, so a million plain lines cost one pass over their bytes.
#include "textutil/HtmlSequences.h"

#include "textutil/Utf8.h"

#include <array>
#include <cstring>

namespace varlin {

const HtmlSequence kHtmlSequences[24] = {
    {38, "&amp;"},     {228, "&auml;"},   {246, "&ouml;"},   {252, "&uuml;"},
    {196, "&Auml;"},   {214, "&Ouml;"},   {220, "&Uuml;"},   {223, "&szlig;"},
    {225, "&aacute;"}, {233, "&eacute;"}, {237, "&iacute;"}, {243, "&oacute;"},
    {250, "&uacute;"}, {224, "&agrave;"}, {232, "&egrave;"}, {236, "&igrave;"},
    {242, "&ograve;"}, {249, "&ugrave;"}, {226, "&acirc;"},  {234, "&ecirc;"},
    {238, "&icirc;"},  {244, "&ocirc;"},  {251, "&ucirc;"},  {0, nullptr},
};

namespace {

struct SequenceIndex {
    std::array<const char*, 256> sequence{};
    std::array<unsigned char, 256> length{};
};

// Only bytes from 128 up are ever replaced: "&" stays as it is in the forward direction,
// so that converting twice gives what converting once gives.
const SequenceIndex& Index() {
    static const SequenceIndex index = [] {
        SequenceIndex x;
        for (const HtmlSequence* e = kHtmlSequences; e->character != 0; ++e) {
            if (e->character < 128 || x.sequence[e->character]) continue;
            x.sequence[e->character] = e->sequence;
            x.length[e->character] = static_cast<unsigned char>(std::strlen(e->sequence));
        }
        return x;
    }();
    return index;
}

// The entry whose sequence text starts with, or null.
const HtmlSequence* MatchAt(const char* text, std::size_t available) {
    for (const HtmlSequence* e = kHtmlSequences; e->character != 0; ++e) {
        std::size_t n = std::strlen(e->sequence);
        if (n <= available && std::memcmp(text, e->sequence, n) == 0) return e;
    }
    return nullptr;
}

}  // namespace

const char* HtmlSequenceOf(unsigned char c) {
    for (const HtmlSequence* e = kHtmlSequences; e->character != 0; ++e)
        if (e->character == c) return e->sequence;
    return nullptr;
}

int ToHtmlSequences(const char* in, char* out, int size) {
    if (!out || size < 1) return 0;
    if (!in) in = "";
    const SequenceIndex& index = Index();
    int room = size;
    int count = 0;
    while (*in && room >= 2) {
        const unsigned char c = static_cast<unsigned char>(*in++);
        const char* seq = index.sequence[c];
        const int length = index.length[c];
        if (seq && length < room - 2) {
            std::memcpy(out, seq, static_cast<std::size_t>(length));
            out += length;
            room -= length;
            ++count;
        } else {
            *out++ = static_cast<char>(c);
            --room;
        }
    }
    if (room >= 1) *out = '\0';
    return count;
}

int FromHtmlSequences(char* text) {
    if (!text) return 0;
    const std::size_t length = std::strlen(text);
    char* write = text;
    const char* read = text;
    const char* end = text + length;
    int count = 0;
    while (read < end) {
        if (*read == '&') {
            if (const HtmlSequence* e = MatchAt(read, static_cast<std::size_t>(end - read))) {
                *write++ = static_cast<char>(e->character);
                read += std::strlen(e->sequence);
                ++count;
                continue;
            }
        }
        *write++ = *read++;
    }
    *write = '\0';
    return count;
}

bool HasHtmlCharacter(std::string_view text) {
    const SequenceIndex& index = Index();
    for (char c : text)
        if (index.sequence[static_cast<unsigned char>(c)]) return true;
    return false;
}

int ToHtmlSequences(std::string_view in, std::string& out) {
    const SequenceIndex& index = Index();
    out.clear();
    int count = 0;
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (!index.sequence[c]) continue;
        out.append(in.data() + plainFrom, i - plainFrom);
        out.append(index.sequence[c], index.length[c]);
        plainFrom = i + 1;
        ++count;
    }
    out.append(in.data() + plainFrom, in.size() - plainFrom);
    return count;
}

int ToHtmlSequencesUtf8(std::string_view in, std::string& out) {
    const SequenceIndex& index = Index();
    out.clear();
    int count = 0;
    std::size_t plainFrom = 0;
    for (int i = 0; i < static_cast<int>(in.size());) {
        int n = 1;
        const char32_t cp = static_cast<unsigned char>(in[i]) < 0x80 ? 0 : Utf8Decode(in, i, &n);
        // The letters of the table are Latin-1 characters: their code points are their bytes.
        if (cp >= 0xA0 && cp <= 0xFF && index.sequence[cp]) {
            out.append(in.data() + plainFrom, static_cast<std::size_t>(i) - plainFrom);
            out.append(index.sequence[cp], index.length[cp]);
            plainFrom = static_cast<std::size_t>(i + n);
            ++count;
        }
        i += n;
    }
    out.append(in.data() + plainFrom, in.size() - plainFrom);
    return count;
}

bool HasNonAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

int FromHtmlSequences(std::string_view in, std::string& out) { return FromHtmlSequencesAs(in, out, false); }
int FromHtmlSequencesUtf8(std::string_view in, std::string& out) { return FromHtmlSequencesAs(in, out, true); }

int FromHtmlSequencesAs(std::string_view in, std::string& out, bool utf8) {
    out.clear();
    int count = 0;
    std::size_t plainFrom = 0;
    std::size_t at = in.find('&');
    while (at != std::string_view::npos) {
        const HtmlSequence* e = MatchAt(in.data() + at, in.size() - at);
        if (e) {
            out.append(in.data() + plainFrom, at - plainFrom);
            if (utf8) out += Utf8Of(e->character);
            else out += static_cast<char>(e->character);
            plainFrom = at + std::strlen(e->sequence);
            ++count;
            at = in.find('&', plainFrom);
        } else {
            at = in.find('&', at + 1);
        }
    }
    out.append(in.data() + plainFrom, in.size() - plainFrom);
    return count;
}

}  // namespace varlin
