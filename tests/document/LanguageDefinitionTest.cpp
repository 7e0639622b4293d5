// Languages as data: recognition of a file's language, every shipped routine rule on a
// sample with traps, the syntax of the newer languages (quotes with escapes, comments only
// after a blank, a block marker that begins with the line marker, keywords ignoring case),
// and definition files that are broken, hostile or the user's own.
#include "TestPaths.h"
#include "document/Language.h"
#include "document/Languages.h"
#include "document/LineStore.h"
#include "document/FileTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

namespace varlin {
namespace {

using testing::MakeScratchDir;
using testing::RemoveTree;
using testing::WriteBytes;

class LanguageDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
    }
    void TearDown() override {
        LoadLanguages("", "");  // the built-in definitions again
        RemoveTree(dir);
    }
    HeadlessHost host;
    std::string dir;
};

TEST_F(LanguageDefinitionTest, RecognitionByExtensionThenNameThenShebang) {
    struct Case {
        const char* name;
        const char* firstLine;
        const char* language;
    } cases[] = {
        {"a.PY", "", "python"},                       {"src/lib.Rs", "", "rust"},
        {"x.tsx", "", "typescript"},                  {"a.h", "", "cpp"},
        {"Makefile", "", "makefile"},                 {"sub.dir/GNUmakefile", "", "makefile"},
        {"CMakeLists.txt", "", "cmake"},              {"/home/u/.bashrc", "", "shell"},
        {"run", "#!/usr/bin/env python3", "python"},  {"run", "#!/bin/sh", "shell"},
        {"run", "#! /usr/bin/python3.11 -u", "python"},
        {"run", "#!/usr/bin/env -S node --trace", "javascript"},
        {"a.py", "#!/bin/sh", "python"},              // the extension comes first
        {"readme.txt", "", "cpp"},                    {"x.unknown", "#!/opt/tool", "cpp"},
        {"", "", "cpp"},                              {"run", "#!/bin/shx", "cpp"},
        {"notes.markdown", "", "markdown"},           {"page.HTM", "", "html"},
    };
    for (const Case& c : cases) {
        LanguagePtr d = RecognizeLanguage(c.name, c.firstLine);
        ASSERT_TRUE(d) << c.name;
        EXPECT_EQ(d->name, c.language) << c.name << " / " << c.firstLine;
    }
    // A loaded file is recognised with its first line; a new document stays C/C++.
    LineStore fresh;
    EXPECT_EQ(GetLanguageLabelId(fresh), kLabelCpp);
    LineStore script;
    script.SetFileName("deploy");
    script.SetLine(0, "#!/bin/bash");
    SelectLanguage(script, 1);
    EXPECT_EQ(LanguageLabel(script), "Shell");
    EXPECT_EQ(script.lineCommentMarker, "#");
}

// "+ENTRY|TEXT" lines start a routine listed as ENTRY; "-|TEXT" lines do not.
TEST_F(LanguageDefinitionTest, EveryRoutineRuleOnItsSample) {
    int rules = 0;
    for (const LanguagePtr& d : KnownLanguages()) {
        if (!d->routineRule) continue;
        ++rules;
        const std::string path = std::string(VARLIN_TEST_DATA) + "/document/routines/" + d->name + ".txt";
        std::ifstream in(path);
        ASSERT_TRUE(in) << "no sample for " << d->name;
        LineStore store;
        SetDocumentLanguage(store, d);
        std::vector<std::string> expected;
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t bar = line.find('|');
            ASSERT_NE(bar, std::string::npos) << path << ": " << line;
            store.SetLine(int(expected.size()), line.substr(bar + 1));
            expected.push_back(line.substr(0, bar));
        }
        for (int i = 0; i < int(expected.size()); ++i) {
            const std::string_view text = store.LineView(i);
            std::string name;
            const bool routine = IsDocumentRoutineLine(store, text, &name);
            EXPECT_EQ(routine, expected[i] != "-") << d->name << ": " << text;
            if (routine) {
                EXPECT_EQ("+" + name, expected[i]) << d->name << ": " << text;
            }
            EXPECT_EQ(IsRoutineStart(store, i), routine) << d->name << ": " << text;
            EXPECT_FALSE(IsPrototypeHead(store, i)) << d->name << ": " << text;
        }
    }
    EXPECT_GE(rules, 15);
}

TEST_F(LanguageDefinitionTest, CommentsStringsAndKeywordsOfTheNewerLanguages) {
    struct Case {
        const char* file;
        const char* text;
        int index;
        bool comment;
        bool keyword;
    } cases[] = {
        {"a.sh", "echo $# # count", 5, false, false},      // "$#" opens no comment
        {"a.sh", "echo $# # count", 10, true, false},
        {"a.py", "s = 'it\\'s # no' # yes", 12, false, false},  // escaped quote
        {"a.py", "s = 'it\\'s # no' # yes", 18, true, false},
        {"a.py", "def_x = 1", 0, false, false},             // a whole word or no keyword
        {"a.py", "def f(): pass", 0, false, true},
        {"a.lua", "x --[[ a ]] y", 12, false, false},      // the block marker wins
        {"a.lua", "-- line", 3, true, false},
        {"a.sql", "Select * FROM t", 0, false, true},      // case does not matter
        {"a.js", "/* don't */ x", 12, false, false},       // no quotes inside comments
        {"a.html", "<!-- x --> <b>", 9, true, false},      // the marker's last character
        {"a.html", "<!-- x --> <b>", 10, false, false},
        {"a.c", "/* \"*/\" */ x", 9, true, false},         // C keeps quotes in comments
        {"a.html", "<!DOCTYPE html>", 1, false, true},
        {"a.html", "<html>", 1, false, true},
        {"a.xml", "<!DOCTYPE x>", 2, false, true},
    };
    for (const Case& c : cases) {
        LineStore store;
        store.SetFileName(c.file);
        SelectLanguage(store, 1);
        store.SetLine(0, c.text);
        store.BuildCommentIndex(0, 1);
        int run = 0;
        EXPECT_EQ(CommentRunAt(store, 0, c.index, run), c.comment) << c.file << ": " << c.text;
        EXPECT_EQ(KeywordRunAt(store, 0, c.index, run), c.keyword) << c.file << ": " << c.text;
    }
}

TEST_F(LanguageDefinitionTest, BrokenDefinitionsNameTheirLineAndReason) {
    const std::string head = "name = x\nlabel = X\n";
    struct Case {
        std::string text;
        int line;
        int reason;
    } cases[] = {
        {"label = X\n", 1, kReasonMissing},
        {"name = x\n\n# only a name\n", 3, kReasonMissing},
        {head + "keywords if\n", 3, kReasonNoEquals},
        {head + "colour = red\n", 3, kReasonUnknownKey},
        {head + "routine = ^(def\n", 3, kReasonBadRule},
        {"name = a b\n", 1, kReasonBadName},
        {head + "label = Y\n", 3, kReasonTwice},
        {head + "quotes = \"\"\n", 3, kReasonBadValue},
        {head + "word-chars = z-a\n", 3, kReasonBadValue},
        {head + "block-comment = /*\n", 3, kReasonBadValue},
        {head + "escape = \\x4\n", 3, kReasonBadValue},
        {head + "line-comment-after-blank = maybe\n", 3, kReasonBadValue},
        {head + "routine-pattern = ?=( \n", 3, kReasonBadValue},
    };
    for (const Case& c : cases) {
        DefinitionError error;
        EXPECT_FALSE(ParseLanguageDefinition(c.text, error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.reasonId, c.reason) << c.text;
    }
}

TEST_F(LanguageDefinitionTest, TheUsersDefinitionsAddAndReplaceAndBrokenOnesAreSkipped) {
    dir = MakeScratchDir();
    WriteBytes(dir + "/python.vll", "name = python\nlabel = My Python\nextensions = py\n");
    WriteBytes(dir + "/zig.vll", "name = zig\nlabel = Zig\nextensions = zig\nroutine = ^fn (\\w+)\n");
    WriteBytes(dir + "/broken.vll", "name = broken\nlabel = B\nroutine = ((\n");
    WriteBytes(dir + "/notes.txt", "not a definition");
    ASSERT_EQ(::mkfifo((dir + "/pipe.vll").c_str(), 0600), 0);  // would block a plain read
    ASSERT_EQ(::mkdir((dir + "/folder.vll").c_str(), 0700), 0);
    LoadLanguages("", dir);

    EXPECT_EQ(RecognizeLanguage("a.py", "")->label, "My Python");
    EXPECT_EQ(RecognizeLanguage("a.zig", "")->label, "Zig");
    EXPECT_FALSE(FindLanguage("broken"));
    EXPECT_TRUE(FindLanguage("cpp"));
    EXPECT_EQ(host.messageIds, (std::vector<int>{kDefinitionNotUsedMessage, kDefinitionNotUsedMessage,
                                                 kDefinitionNotUsedMessage}));
    ASSERT_EQ(host.messageTexts.size(), 3u);
    EXPECT_NE(host.messageTexts[0].find(dir + "/broken.vll"), std::string::npos);
    EXPECT_NE(host.messageTexts[0].find("Zeile 3"), std::string::npos);
}

TEST_F(LanguageDefinitionTest, ARuleThatBacktracksWithoutEndFindsNothingInsteadOfHanging) {
    std::string error;
    auto rule = RoutineRule::Compile("^(a+)+$", error);
    ASSERT_TRUE(rule) << error;
    EXPECT_TRUE(rule->Matches("aaaa"));
    EXPECT_FALSE(rule->Matches(std::string(5000, 'a') + "b"));  // the match limit ends it
}

}  // namespace
}  // namespace varlin
