// The search of browse and open on generated trees: which files it finds and with which
// first line, the engine's case and escape rules, the files it skips and counts
// (unreadable, binary, link loops), hits across read chunks, cancelling, and the worker.
#include "platform/TestFolder.h"
#include "search/FolderSearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace varlin;
using varlin::test::TestFolder;
using varlin::test::WriteFile;

namespace {

struct Result {
    FolderSearchStatus status;
    std::vector<FolderSearchHit> hits;
    FolderSearchCounts counts;
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& h : hits) n.push_back(std::filesystem::path(h.path).filename().string());
        return n;
    }
};

Result Search(const std::string& folder, const std::string& text, int caps = 0, int escapes = 0,
              std::vector<std::string> patterns = {}, bool subfolders = true) {
    FolderSearchRequest r;
    r.folder = folder;
    r.find.FindString = text;
    r.find.CapsSens = caps;
    r.find.ExpandEscapes = escapes;
    r.patterns = std::move(patterns);
    r.subfolders = subfolders;
    Result out;
    out.status = SearchFolder(r, [&](const FolderSearchHit& h) { out.hits.push_back(h); }, out.counts);
    return out;
}

using Names = std::vector<std::string>;

TEST(FolderSearch, FindsMatchingFilesInNameOrderWithTheirFirstLine) {
    TestFolder f;
    std::filesystem::create_directories(f.File("sub/deeper"));
    WriteFile(f.File("b.c"), "one\r\ntwo needle\r\nthree needle\r\n");
    WriteFile(f.File("a.c"), "needle at the start");
    WriteFile(f.File("c.h"), "nothing here\n");
    WriteFile(f.File("d.txt"), "a needle in text\n");
    WriteFile(f.File("sub/e.c"), "x\ny\nz needle\n");
    WriteFile(f.File("sub/deeper/f.C"), "needle\n");
    WriteFile(f.File("noext"), "needle\n");

    Result all = Search(f.path(), "needle");
    EXPECT_EQ(all.status, FolderSearchStatus::Done);
    EXPECT_EQ(all.names(), (Names{"a.c", "b.c", "d.txt", "noext", "f.C", "e.c"}));
    EXPECT_EQ(all.counts.filesSearched, 7);
    EXPECT_EQ(all.counts.hits, 6);
    ASSERT_EQ(all.hits.size(), 6u);
    EXPECT_EQ(all.hits[1].line, 2);
    EXPECT_EQ(all.hits[1].lineText, "two needle");  // the CR of the line end is not shown
    EXPECT_EQ(all.hits[5].line, 3);

    // Patterns are case-blind; "*." is a name without extension; no subfolders.
    EXPECT_EQ(Search(f.path(), "needle", 0, 0, {"*.c"}).names(), (Names{"a.c", "b.c", "f.C", "e.c"}));
    EXPECT_EQ(Search(f.path(), "needle", 0, 0, {"*.c", "*."}, false).names(), (Names{"a.c", "b.c", "noext"}));
    EXPECT_EQ(Search(f.path(), "missing").hits.size(), 0u);
    EXPECT_EQ(Search(f.path() + "/none", "needle").status, FolderSearchStatus::NoFolder);
    EXPECT_EQ(Search(f.path(), "").status, FolderSearchStatus::NoSearchText);
}

TEST(FolderSearch, FollowsTheEnginesCaseAndEscapeRules) {
    TestFolder f;
    WriteFile(f.File("upper"), "NEEDLE\n");
    WriteFile(f.File("mixed"), "NeEdLe\n");
    WriteFile(f.File("umlaut"), "gr\xC4" "n\n");       // "grÄn" in the ANSI table
    WriteFile(f.File("tab"), "a\tb\n");
    WriteFile(f.File("literal"), "a\\tb\n");
    WriteFile(f.File("crlf"), "line\r\nnext\r\n");
    WriteFile(f.File("lonecr"), "old\rmac\n");
    struct Case {
        const char* text;
        int caps, escapes;
        Names expected;
    } cases[] = {
        {"needle", 0, 0, {"mixed", "upper"}},
        {"NEEDLE", 1, 0, {"upper"}},
        {"gr\xE4n", 0, 0, {"umlaut"}},                 // "ä" finds "Ä" when case is ignored
        {"gr\xE4n", 1, 0, {}},
        {"a\\tb", 0, 1, {"tab"}},
        {"a\\tb", 0, 0, {"literal"}},
        {"\\r", 0, 1, {"lonecr"}},                     // the CR of CR LF belongs to the line end
        {"\\n", 0, 1, {}},                             // no line holds a line feed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Search(f.path(), c.text, c.caps, c.escapes).names(), c.expected) << c.text;
    }
    EXPECT_EQ(Search(f.path(), "\\0", 0, 1).status, FolderSearchStatus::NoSearchText);
}

TEST(FolderSearch, SkipsAndCountsBinaryFilesLinkLoopsAndUnreadableFiles) {
    TestFolder f;
    namespace fs = std::filesystem;
    fs::create_directories(f.File("sub"));
    WriteFile(f.File("sub/text"), "needle\n");
    WriteFile(f.File("binary"), std::string("needle\0\x01\x02", 9));
    fs::create_directory_symlink(f.path(), f.File("sub/up"));      // back to the top: a loop
    fs::create_directory_symlink(f.File("sub"), f.File("again"));  // the same folder a second time
    fs::create_symlink(f.File("self"), f.File("self"));            // a link to itself
    fs::create_symlink(f.File("gone"), f.File("dangling"));
    ::mkfifo(f.File("fifo").c_str(), 0644);                         // must not block the walk
    WriteFile(f.File("locked"), "other\n");
    ::chmod(f.File("locked").c_str(), 0);

    Result r = Search(f.path(), "needle");
    EXPECT_EQ(r.names(), (Names{"text"}));  // found once, though two roads lead to it
    EXPECT_EQ(r.counts.binary, 1);
    EXPECT_EQ(r.counts.loops, 2);  // sub/up and self
    EXPECT_EQ(r.counts.unreadable, ::geteuid() == 0 ? 1 : 2);  // the dangling link, the locked file

    // Without the right to read, the locked file is counted, never fatal.
    const std::string folder = f.path();
    int unreadable = test::RunUnprivileged([folder] { return Search(folder, "needle").counts.unreadable; });
    if (unreadable >= 0) {
        EXPECT_EQ(unreadable, 2);
    }
}

TEST(FolderSearch, FindsHitsAcrossReadChunksWithTheirLineNumbers) {
    TestFolder f;
    std::mt19937 random(7);
    // Long lines and one line longer than a read chunk; the needle lands at random places,
    // among them the chunk borders.
    for (int round = 0; round < 6; ++round) {
        std::string text;
        const int lines = 2000 + int(random() % 200);
        for (int i = 0; i < lines; ++i) text += std::string(100 + random() % 300, 'x') + "\n";
        text += std::string(300000, 'y');  // no line end for longer than a chunk
        std::size_t at = round < 2 ? 256 * 1024 - 3 + std::size_t(round) : random() % (text.size() - 10);
        if (text[at] == '\n' || text.find('\n', at) < at + 6) at = text.size() - 6;
        text.replace(at, 6, "needle");
        WriteFile(f.File("big"), text);
        Result r = Search(f.path(), "NEEDLE");
        ASSERT_EQ(r.hits.size(), 1u) << at;
        EXPECT_EQ(r.hits[0].line, 1 + std::count(text.begin(), text.begin() + long(at), '\n')) << at;
    }
}

TEST(FolderSearch, StopsWhenCancelledAndTheWorkerReportsLikeTheSearch) {
    TestFolder f;
    for (int i = 0; i < 50; ++i) WriteFile(f.File("f" + std::to_string(100 + i)), "needle\n");
    FolderSearchRequest r;
    r.folder = f.path();
    r.find.FindString = "needle";
    std::atomic<bool> cancel{false};
    FolderSearchCounts counts;
    int hits = 0;
    auto status = SearchFolder(r, [&](const FolderSearchHit&) { if (++hits == 3) cancel = true; }, counts, &cancel);
    EXPECT_EQ(status, FolderSearchStatus::Cancelled);
    EXPECT_EQ(hits, 3);

    FolderSearchRun run;
    run.Start(r);
    std::vector<FolderSearchHit> all;
    while (run.Running()) for (auto& h : run.TakeHits()) all.push_back(h);
    for (auto& h : run.TakeHits()) all.push_back(h);
    EXPECT_EQ(run.status(), FolderSearchStatus::Done);
    EXPECT_EQ(all.size(), 50u);
    EXPECT_EQ(run.counts().hits, 50);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](auto& a, auto& b) { return a.path < b.path; }));
    run.Start(r);
    run.Cancel();  // returns only once the worker has ended
    EXPECT_FALSE(run.Running());
}

TEST(FolderSearch, PatternsOfAFilterEntryOrATypedText) {
    EXPECT_EQ(ParseNamePatterns("C Quellen (*.c)"), (Names{"*.c"}));
    EXPECT_EQ(ParseNamePatterns("*.c; *.h,*.cpp"), (Names{"*.c", "*.h", "*.cpp"}));
    EXPECT_EQ(ParseNamePatterns("  "), Names{});
    struct { const char* name; const char* pattern; bool matches; } cases[] = {
        {"a.c", "*.c", true},   {"a.cpp", "*.c", false}, {"A.C", "*.c", true},  {"abc", "a?c", true},
        {"ac", "a?c", false},   {"x.tar.gz", "*.gz", true}, {"readme", "*.", true}, {"a.b", "*.", false},
        {"anything", "*.*", true}, {"a.c", "b*", false}, {"aXbXc", "a*b*c", true}, {"abcb", "*b", true},
    };
    for (auto& c : cases) EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

}  // namespace

TEST(FolderSearch, RegularExpressionsMatchLineByLine) {
    TestFolder f;
    WriteFile(f.File("a.c"), "int x;\r\nlong y = 42;\r\n");
    WriteFile(f.File("b.c"), "y =\r\n42\r\n");              // no match across a line end
    WriteFile(f.File("c.c"), "z\n" + std::string(40, 'a') + "b\n");
    FolderSearchRequest r;
    r.folder = f.path();
    r.find.FindString = "^(long|short) \\w+ = \\d+;$";
    r.find.Regex = 1;
    Result out;
    out.status = SearchFolder(r, [&](const FolderSearchHit& h) { out.hits.push_back(h); }, out.counts);
    ASSERT_EQ(out.names(), (Names{"a.c"}));
    EXPECT_EQ(out.hits[0].line, 2);
    EXPECT_EQ(out.hits[0].lineText, "long y = 42;");
    r.find.FindString = "(a+)+$";
    out = {};
    out.status = SearchFolder(r, [&](const FolderSearchHit& h) { out.hits.push_back(h); }, out.counts);
    EXPECT_TRUE(out.hits.empty());
    EXPECT_EQ(out.counts.cutOff, 1);  // counted, not taken for "not in the file"
    r.find.FindString = "a(";
    EXPECT_EQ(SearchFolder(r, nullptr, out.counts), FolderSearchStatus::NoSearchText);
}
