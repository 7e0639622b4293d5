// EditorConfig: which sections of which .editorconfig files apply to a file and which
// wins (the nearer file, the later section, root = true ending the search), the values
// the editor reads from them, and a broken file told of and ignored.
#include "platform/HeadlessHost.h"
#include "platform/TestFolder.h"
#include "settings/EditorConfig.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace varlin {
namespace {

FileStyle Style(FileStyle::Indent indent, int size, int tab, FileStyle::LineEnd eol = FileStyle::AnyLineEnd) {
    FileStyle s;
    s.indentStyle = indent;
    s.indentSize = size;
    s.tabWidth = tab;
    s.endOfLine = eol;
    return s;
}

class EditorConfigFiles : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
    }
    HeadlessHost host;
    test::TestFolder folder;
};

TEST_F(EditorConfigFiles, SectionsGlobsAndPrecedence) {
    ::mkdir(folder.File("src").c_str(), 0755);
    ::mkdir(folder.File("src/own").c_str(), 0755);
    test::WriteFile(folder.File(".editorconfig"),
                    "root = true\n[*]\nindent_style = tab\ntab_width = 8\n"
                    "[*.{py,yml}]\nindent_style = space\nindent_size = 4\n"
                    "[*.md]\ntrim_trailing_whitespace = true\ninsert_final_newline = false\n"
                    "[src/**.c]\nINDENT_SIZE = 3\n");
    test::WriteFile(folder.File("src/.editorconfig"), "[*.py]\nindent_size = 2\nend_of_line = CRLF\ncharset = latin1\n");
    test::WriteFile(folder.File("src/own/.editorconfig"), "root = true\n[*]\nend_of_line = lf\nindent_size = 99999\n");

    FileStyle md = Style(FileStyle::Tabs, 8, 8);
    md.trimTrailing = 1;
    md.finalNewline = 0;
    FileStyle nearPy = Style(FileStyle::Blanks, 2, 8, FileStyle::CrLf);
    nearPy.charset = FileStyle::Latin1;
    const struct {
        const char* file;
        FileStyle expected;
    } cases[] = {
        {"a.c", Style(FileStyle::Tabs, 8, 8)},  // indent_size "tab" takes the tab width
        {"a.py", Style(FileStyle::Blanks, 4, 8)},
        {"conf.yml", Style(FileStyle::Blanks, 4, 8)},
        {"read.md", md},
        {"src/b.c", Style(FileStyle::Tabs, 3, 8)},  // a path glob, a name in any case
        {"src/b.py", nearPy},                         // the nearer file wins
        {"src/own/c.py", Style(FileStyle::AnyIndent, 0, 0, FileStyle::Lf)},  // root: nothing above counts
    };
    for (const auto& c : cases) EXPECT_EQ(EditorConfigOf(folder.File(c.file)), c.expected) << c.file;
    EXPECT_TRUE(host.messageIds.empty());
}

TEST_F(EditorConfigFiles, ABrokenFileIsToldOfAndIgnored) {
    test::WriteFile(folder.File(".editorconfig"), "root = true\n[*]\nindent_style = space\nno property\n");
    EXPECT_EQ(EditorConfigOf(folder.File("a.py")), FileStyle{});
    EXPECT_EQ(host.messageIds, std::vector<int>{kEditorConfigBrokenMessage});
}

}  // namespace
}  // namespace varlin
