// The program's texts in English and the user's own English texts: every text has a
// built-in translation, the override file goes and comes back unchanged, its texts take
// the place of the built-in ones in English only, and a broken or foreign file (a text
// with other conversions than the built-in one's among the faults) is not used at all and
// reported by message 3460.
#include "frame/TranslationFile.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"
#include "resources/Menus.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

namespace varlin {
namespace {

TEST(Translation, EveryTextHasAnEnglishOneOfAFittingLength) {
    const auto texts = TranslatableTexts();
    EXPECT_GT(texts.size(), 300u);
    for (const TranslatableText& t : texts) {
        EXPECT_FALSE(t.english.empty()) << t.key << " " << t.german;
        EXPECT_FALSE(TranslationTooLong(t.german, t.english)) << t.key << " " << t.german << " | " << t.english;
    }
    EXPECT_TRUE(TranslationTooLong("&Neu", "&New file"));
    EXPECT_FALSE(TranslationTooLong("Zeile", "Line"));
}

class OverrideFile : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsFile(folder_.File("settings.ini"));
        host_.writeMessagesToStderr = false;
        host_.Install();
    }
    void TearDown() override {
        SetEnglishOverrides({});
        SetAppLanguage(49);
        SetSettingsFile("");
    }
    test::TestFolder folder_;
    HeadlessHost host_;
};

TEST_F(OverrideFile, OwnTextsComeBackAndTakeThePlaceOfTheBuiltInOnesInEnglish) {
    EXPECT_EQ(TranslationFileName(), folder_.File("varlin-en.txt"));
    const std::map<std::string, std::string> own = {
        {"1201", "Not found.\nSorry\t\\o/"}, {"menu:&Datei", "&Files"}, {"3300", "Gr\xC3\xBC\xC3\x9F"}};
    ASSERT_TRUE(WriteTranslationFile(TranslationFileName(), own));
    LoadTranslationOverrides();
    EXPECT_EQ(EnglishOverrides(), own);
    EXPECT_TRUE(host_.messageIds.empty());
    const MenuItem& file = MenuResource(kMenuIdNoDocument)[0];
    SetAppLanguage(44);
    EXPECT_EQ(LoadAppString(1201), own.at("1201"));
    EXPECT_STREQ(MenuItemLabel(file, 44), "&Files");
    EXPECT_STREQ(LoadAppString(1202).c_str(), BuiltInString(1202, 44));  // the others as built in
    SetAppLanguage(49);
    EXPECT_EQ(LoadAppString(1201), "! Der Suchbegriff wurde nicht gefunden.");
    EXPECT_STREQ(MenuItemLabel(file, 49), "&Datei");
}

TEST_F(OverrideFile, ABrokenOrForeignFileIsNotUsedAtAll) {
    const std::string header = std::string(kTranslationFileHeader) + "\n";
    struct Case {
        std::string content;
        int badLine;
    } cases[] = {
        {"", 1},
        {"[Options]\nTabDistance=4\n", 1},
        {header + "1201\tfine\n1202 no tab\n", 3},
        {header + "99999\tno such text\n", 2},
        {header + "menu:&Nowhere\tx\n", 2},
        {header + "1201\tbad \\q escape\n", 2},
        {header + "1201\t\xFF\xFE\n", 2},
        // A text another than the built-in one's conversions would turn into a format.
        {header + "1601\tCol %5ld\n1600\tLine %s\n", 3},
        {header + "1600\t%s%n\n", 2},
        {header + "1603\t%ld/%ld to %ld\n", 2},
        {header + "1201\tNot found: %s\n", 2},
    };
    for (const Case& c : cases) {
        test::WriteFile(TranslationFileName(), c.content);
        std::map<std::string, std::string> texts;
        int badLine = 0;
        EXPECT_EQ(ReadTranslationFile(TranslationFileName(), texts, badLine), TranslationFileResult::Broken) << c.content;
        EXPECT_EQ(badLine, c.badLine) << c.content;
        EXPECT_TRUE(texts.empty());
    }
    SetEnglishOverrides({{"1201", "stale"}});
    LoadTranslationOverrides();
    EXPECT_TRUE(EnglishOverrides().empty());
    ASSERT_EQ(host_.messageIds, std::vector<int>({kTranslationBrokenMessage}));
    EXPECT_NE(host_.messageTexts[0].find(TranslationFileName() + ":2"), std::string::npos);
}

TEST(Translation, ConversionsAreReadAsSnprintfAndQtReadThem) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"Zeile %ld", {"ld"}},       {"100%% %-5.2f%c", {"f", "c"}}, {"%*d %.*s", {"*d", "*s"}},
        {"%1 und %12", {"1", "12"}}, {"%2$s %1$s", {"2$s", "1$s"}},   {"%hhn %lln", {"hhn", "lln"}},
        {"%5ld %1", {"ld", "1"}},   {"trailing %", {"%"}},         {"", {}},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(TextConversions(text), want) << text;
    EXPECT_TRUE(OverrideKeepsConversions("1603", "%ld:%ld - %ld:%ld"));
    EXPECT_FALSE(OverrideKeepsConversions("1600", "Line %d"));
    EXPECT_FALSE(OverrideKeepsConversions("99999", "x"));
}

}  // namespace
}  // namespace varlin
