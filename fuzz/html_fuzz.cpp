// The HTML sequences: the input's first byte gives a buffer size, the rest is a line.
// The line is converted both ways in every form: a line without "&" comes back from its
// sequences unchanged (byte and UTF-8 forms), the cheap tests agree with the conversions,
// and the buffer forms never write beyond their size and, given room, give what the
// byte-string forms give.
#include "FuzzSupport.h"

#include "textutil/HtmlSequences.h"

#include <cstring>
#include <memory>

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t first = input.Byte();
    const std::string line(input.Rest());
    const bool hasAmpersand = line.find('&') != std::string::npos;

    std::string html;
    const int replaced = ToHtmlSequences(line, html);
    if ((replaced > 0) != HasHtmlCharacter(line)) fuzz::Fail("HasHtmlCharacter disagrees with the conversion");
    if (replaced == 0 && html != line) fuzz::Fail("nothing replaced, yet the line changed");
    std::string back;
    const int restored = FromHtmlSequences(html, back);
    if (!hasAmpersand && (back != line || restored != replaced))
        fuzz::Fail("a line did not come back from its sequences");

    std::string html8;
    const int replaced8 = ToHtmlSequencesUtf8(line, html8);
    std::string back8;
    const int restored8 = FromHtmlSequencesAs(html8, back8, true);
    if (!hasAmpersand && (back8 != line || restored8 != replaced8))
        fuzz::Fail("a UTF-8 line did not come back from its sequences");
    if (replaced8 > 0 && !HasNonAscii(line)) fuzz::Fail("an ASCII line had a letter replaced");
    std::string asBytes;
    if (FromHtmlSequencesAs(line, asBytes, false) != FromHtmlSequences(line, back) || asBytes != back)
        fuzz::Fail("FromHtmlSequencesAs differs from FromHtmlSequences");

    // The buffer forms on the line up to its first NUL.
    const std::string text = line.substr(0, line.find('\0'));
    std::string textHtml;
    const int textReplaced = ToHtmlSequences(text, textHtml);
    const int small = first % 48 + 1;
    auto cut = std::make_unique<char[]>(std::size_t(small));
    ToHtmlSequences(text.c_str(), cut.get(), small);
    const int roomy = int(textHtml.size()) + 3;
    auto whole = std::make_unique<char[]>(std::size_t(roomy));
    if (ToHtmlSequences(text.c_str(), whole.get(), roomy) != textReplaced ||
        std::strlen(whole.get()) != textHtml.size() || textHtml != whole.get())
        fuzz::Fail("the buffer form differs from the byte-string form");
    std::string textBack;
    const int textRestored = FromHtmlSequences(text, textBack);
    auto inPlace = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(inPlace.get(), text.c_str(), text.size() + 1);
    if (FromHtmlSequences(inPlace.get()) != textRestored || textBack != inPlace.get())
        fuzz::Fail("reading sequences in place differs from the byte-string form");
    return 0;
}
