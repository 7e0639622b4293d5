// UTF-8 reading: which byte strings are characters, the boundaries in mixed valid and
// invalid bytes, the cell and index conversions, and the Unicode classes.
#include "textutil/Utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace varlin {
namespace {

TEST(Utf8, SequencesAcceptedAndRefused) {
    struct Case { const char* bytes; int length; const char* what; } cases[] = {
        {"A", 1, "ASCII"},
        {"\xC3\xA4", 2, "a umlaut"},
        {"\xE2\x82\xAC", 3, "euro sign"},
        {"\xF0\x9F\x98\x80", 4, "emoji"},
        {"\xF4\x8F\xBF\xBF", 4, "U+10FFFF"},
        {"\xC0\x80", 0, "overlong NUL"},
        {"\xC1\xBF", 0, "overlong two-byte"},
        {"\xE0\x9F\xBF", 0, "overlong three-byte"},
        {"\xF0\x8F\xBF\xBF", 0, "overlong four-byte"},
        {"\xED\xA0\x80", 0, "high surrogate"},
        {"\xED\xBF\xBF", 0, "low surrogate"},
        {"\xED\x9F\xBF", 3, "last before the surrogates"},
        {"\xF4\x90\x80\x80", 0, "above U+10FFFF"},
        {"\xF5\x80\x80\x80", 0, "lead F5"},
        {"\xFF", 0, "byte FF"},
        {"\x80", 0, "lone continuation"},
        {"\xC3", 0, "cut two-byte"},
        {"\xE2\x82", 0, "cut three-byte"},
        {"\xF0\x9F\x98", 0, "cut four-byte"},
        {"\xC3" "A", 0, "lead followed by ASCII"},
    };
    for (const Case& c : cases) {
        const std::string_view s(c.bytes);
        EXPECT_EQ(Utf8SequenceLength(s.data(), s.size()), c.length) << c.what;
        EXPECT_EQ(IsValidUtf8(s.data(), s.size()), c.length == int(s.size())) << c.what;
    }
    // NUL is a character like any other.
    EXPECT_EQ(Utf8SequenceLength("\0", 1), 1);
}

TEST(Utf8, EveryCodePointRoundTripsAndTheClassesHold) {
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        char out[4];
        const int n = EncodeUtf8(cp, out);
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            ASSERT_EQ(n, 0);
            continue;
        }
        ASSERT_EQ(Utf8SequenceLength(out, n), n) << std::hex << static_cast<unsigned long>(cp);
        int length = 0;
        ASSERT_EQ(Utf8Decode(std::string_view(out, n), 0, &length), cp);
        ASSERT_EQ(length, n);
    }
    EXPECT_EQ(EncodeUtf8(0x110000, nullptr), 0);

    struct Fold { char32_t from, to; } folds[] = {
        {U'Ä', U'ä'}, {U'ä', U'ä'}, {U'É', U'é'}, {U'ß', U'ß'}, {0x1E9E, U'ß'}, {U'Σ', U'σ'},
        {U'ς', U'σ'}, {0x212A, U'k'}, {U'Ж', U'ж'}, {U'Z', U'z'}, {U'1', U'1'}, {kInvalidByte, kInvalidByte},
    };
    for (const Fold& f : folds) EXPECT_EQ(SimpleFold(f.from), f.to) << std::hex << static_cast<unsigned long>(f.from);

    for (char32_t cp : {U'a', U'Z', U'7', U'ä', U'ß', U'Ж', U'中', U'\u0301', U'٣'})
        EXPECT_TRUE(IsUnicodeWordChar(cp)) << std::hex << static_cast<unsigned long>(cp);
    for (char32_t cp : {U' ', U'_', U'-', U'€', U'«', U'\u3000', kInvalidByte, char32_t(0xA0)})
        EXPECT_FALSE(IsUnicodeWordChar(cp)) << std::hex << static_cast<unsigned long>(cp);

    for (char32_t cp : {U'中', U'한', U'ア', U'Ａ', char32_t(0x1F600)}) EXPECT_EQ(CellWidth(cp), 2) << std::hex << static_cast<unsigned long>(cp);
    for (char32_t cp : {U'a', U'ä', U'Ж', U'€', U'ｱ', kInvalidByte}) EXPECT_EQ(CellWidth(cp), 1) << std::hex << static_cast<unsigned long>(cp);
}

TEST(Utf8, CellsAndIndexesCountWholeCharacters) {
    const std::string text = "a\xC3\xA4\t\xE4\xB8\xAD\xFF" "b";  // a ä TAB 中 <FF> b
    // index:                 0 1   3  4         7    8
    struct Case { int index; long long cells; } cases[] = {
        {0, 0}, {1, 1}, {3, 2}, {4, 4}, {7, 6}, {8, 7}, {9, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8Cells(text, c.index, 4), c.cells) << c.index;
        EXPECT_EQ(Utf8IndexOfCell(text, c.cells, 4), c.index) << c.cells;
    }
    EXPECT_EQ(Utf8IndexOfCell(text, 3, 4), 3);   // inside the tab
    EXPECT_EQ(Utf8IndexOfCell(text, 5, 4), 4);   // on the wide character's second cell
    EXPECT_EQ(Utf8IndexOfCell(text, 99, 4), 9);  // past the text
    EXPECT_EQ(Utf8Cells(text, 2, 4), 1);         // inside ä counts up to its start only
}

// Random strings of every byte value mixed with valid sequences: the characters found
// forwards and backwards agree, cover every byte once, and give the bytes back.
TEST(Utf8, RandomBytesSplitIntoCharactersThatGiveTheSameBytesBack) {
    std::mt19937 random(23);
    const std::vector<std::string> pieces = {"\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xE4\xB8\xAD",
                                             "\xC3",     "\xE2\x82",     "\xF0\x9F\x98",     "\xED\xA0\x80",
                                             "\xC0\xAF", "\xF4\x90\x80\x80", kUtf8Bom.data(), std::string(1, '\0')};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int parts = random() % 24;
        for (int p = 0; p < parts; ++p) {
            if (random() % 2) text += static_cast<char>(random() % 256);
            else text += pieces[random() % pieces.size()];
        }
        const int size = static_cast<int>(text.size());
        std::vector<int> starts;
        std::string rebuilt;
        bool allValid = true;
        for (int i = 0; i < size; i = Utf8Next(text, i)) {
            starts.push_back(i);
            int length = 0;
            const char32_t cp = Utf8Decode(text, i, &length);
            ASSERT_EQ(length, Utf8Next(text, i) - i);
            if (cp == kInvalidByte) {
                allValid = false;
                rebuilt += text[i];
            } else {
                rebuilt += Utf8Of(cp);
            }
        }
        ASSERT_EQ(rebuilt, text);
        ASSERT_EQ(IsValidUtf8(text.data(), text.size()), allValid) << round;
        std::vector<int> backwards;
        for (int i = size; i > 0; i = Utf8Prev(text, i)) backwards.insert(backwards.begin(), Utf8Prev(text, i));
        ASSERT_EQ(backwards, starts) << round;
        std::size_t k = 0;
        for (int i = 0; i < size; ++i) {
            if (k + 1 < starts.size() && starts[k + 1] <= i) ++k;
            ASSERT_EQ(Utf8CharStart(text, i), starts[k]) << round << " at " << i;
        }
    }
}

// The fast validation (64 bytes at a time where the processor allows, else the portable
// loop) against reading the text character by character: every byte pair and triple of
// interest at the start and across a 64-byte block, and long random texts with faults.
TEST(Utf8, ValidationAgreesWithReadingCharacterByCharacter) {
    const auto reference = [](const std::string& text, bool* multibyte) {
        *multibyte = false;
        for (std::size_t i = 0; i < text.size();) {
            const int n = Utf8SequenceLength(text.data() + i, text.size() - i);
            if (n == 0) return false;
            *multibyte = *multibyte || n > 1;
            i += n;
        }
        return true;
    };
    const auto agree = [&](const std::string& text) {
        bool want = false;
        const bool valid = reference(text, &want);
        for (auto* check : {&IsValidUtf8, &IsValidUtf8Portable}) {
            bool multibyte = !want;
            if (check(text.data(), text.size(), &multibyte) != valid || (valid && multibyte != want)) return false;
        }
        return true;
    };
    const unsigned char thirds[] = {0x00, 0x41, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC3, 0xF0};
    for (int offset : {0, 61}) {
        for (int a = 0x80; a < 0x100; ++a)
            for (int b = 0; b < 0x100; ++b)
                for (unsigned char c : thirds) {
                    std::string text(offset, 'x');
                    text += {char(a), char(b), char(c)};
                    ASSERT_TRUE(agree(text)) << std::hex << a << ' ' << b << ' ' << int(c) << " at " << offset;
                    text += "\x80\x80";
                    ASSERT_TRUE(agree(text)) << std::hex << a << ' ' << b << ' ' << int(c) << " +80 80 at " << offset;
                }
    }
    std::mt19937 random(23);
    const std::vector<std::string> pieces = {
        std::string(70, 'a'), "\n", "\r", std::string(1, '\0'), "\xC3\xA4", "\xDF\xBF", "\xE0\xA0\x80",
        "\xED\x9F\xBF", "\xE6\x96\x87", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF",
        "\xF3\xA0\x81\x81"};
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int parts = random() % 120;
        for (int p = 0; p < parts; ++p) text += pieces[random() % pieces.size()];
        if (round % 2 && !text.empty()) text[random() % text.size()] = static_cast<char>(random() % 256);
        if (round % 3 == 0 && !text.empty()) text.resize(random() % text.size());
        ASSERT_TRUE(agree(text)) << round;
    }
}

TEST(Utf8, RecognitionWantsValidTextWithAMultibyteCharacterOrTheMark) {
    EXPECT_TRUE(LooksLikeUtf8("Gr\xC3\xBC\xC3\x9F" "e\n", 8));
    EXPECT_FALSE(LooksLikeUtf8("plain ASCII text\n", 17));
    EXPECT_FALSE(LooksLikeUtf8("Gr\xFC\xDF" "e\n", 6));                 // Windows-1252
    EXPECT_FALSE(LooksLikeUtf8("\xC3\xA4 and \xE4", 9));               // as many bad bytes as characters
    EXPECT_TRUE(LooksLikeUtf8("\xC3\xA4\xC3\xB6 and \xE4", 11));       // two characters, one bad byte
    EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBFplain", 8));
    EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBF\xFF", 4));                 // the mark decides
    EXPECT_FALSE(LooksLikeUtf8("", 0));
}

// German texts in Windows-1252, as letters and mails are written: umlauts and sharp s,
// typographic quotes, dashes, euro and degree signs. Such a text is never taken for
// UTF-8, also where a sharp s before a closing quote happens to form a valid sequence;
// the same texts in UTF-8 are, also with a byte of Windows-1252 pasted in.
TEST(Utf8, GermanWindows1252TextsAreNeverTakenForUtf8) {
    const std::vector<std::string> words = {
        "Gr\xFC\xDF" "e", "Stra\xDF" "e", "Fu\xDF", "Ma\xDF", "Gru\xDF", "\xFC" "ber", "\xC4" "rger",
        "\xD6" "l", "\xDC" "bung", "sch\xF6n", "B\xE4ren", "M\xFC" "nchen", "hei\xDF", "Caf\xE9", "gro\xDF",
        "\x80", "20\xB0" "C", "\xA7" "3", "m\xB2", "und", "der", "die", "das", "ist", "nicht", "mit",
        "Editor", "Zeile", "Datei", "\x96", "\x85", "\xAB" "Hinweis\xBB", "Gr\xF6\xDF" "e", "Ma\xDF" "e"};
    std::mt19937 random(1252);
    auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    for (int text = 0; text < 3000; ++text) {
        std::string ansi;
        const std::size_t sentences = 1 + pick(4);
        for (std::size_t s = 0; s < sentences; ++s) {
            const std::size_t count = 3 + pick(10);
            for (std::size_t w = 0; w < count; ++w) {
                const std::string& word = words[pick(words.size())];
                ansi += pick(6) == 0 ? "\x84" + word + "\x93" : word;  // \u201Eword\u201C
                ansi += w + 1 < count ? " " : pick(2) ? ".\r\n" : ". ";
            }
        }
        bool high = false;
        for (char c : ansi) high = high || static_cast<unsigned char>(c) >= 0x80;
        if (!high) continue;
        ASSERT_FALSE(LooksLikeUtf8(ansi.data(), ansi.size())) << ansi;
        std::string utf8 = AnsiToUtf8(ansi);
        ASSERT_TRUE(LooksLikeUtf8(utf8.data(), utf8.size())) << utf8;
        Utf8Tally tally;
        tally.Add(utf8.data(), utf8.size());
        if (tally.multibyte >= 2) {
            utf8.insert(utf8.find(' ') + 1, "\xFC");  // one Windows-1252 byte in it
            EXPECT_TRUE(LooksLikeUtf8(utf8.data(), utf8.size())) << utf8;
        }
    }
}

}  // namespace
}  // namespace varlin
