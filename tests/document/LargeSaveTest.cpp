// Saves of documents larger than the save's write buffer, compared byte for byte: lines
// and line ends that straddle the buffer's edge, lines larger than the buffer; and saves
// that fail because the file may not grow (RLIMIT_FSIZE), which need no root.
#include "document/FileTestSupport.h"
#include "document/LineStore.h"
#include "document/TextFile.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varlin {
namespace {

using testing::DirEntries;
using testing::DocumentFileTest;
using testing::ReadBytes;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

constexpr std::size_t kBuffer = 1 << 18;  // the write buffer of a save

// Varied text of n bytes (no LF); seed makes neighbouring lines differ.
std::string Text(std::size_t n, unsigned seed) {
    std::string s(n, ' ');
    for (std::size_t i = 0; i < n; ++i) s[i] = char('!' + (i * 7 + seed * 13) % 90);
    return s;
}

std::string FileOf(const Lines& lines, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i <= to && i < lines.size(); ++i) out += lines[i] + "\r\n";
    return out;
}

struct Shape {
    const char* what;
    std::function<Lines()> lines;
};

const std::vector<Shape>& Shapes() {
    static const std::vector<Shape> shapes = {
        {"many short lines, four buffers", [] {
             Lines l;
             for (unsigned i = 0; i < 20000; ++i) l.push_back(Text(i % 97, i));  // empty ones too
             l.push_back("end");
             return l;
         }},
        {"a line whose CR LF ends the buffer exactly", [] {
             return Lines{Text(kBuffer - 2, 1), "next", Text(kBuffer, 2), "last"};
         }},
        {"CR and LF on either side of the edge", [] {
             return Lines{Text(kBuffer - 1, 3), Text(10, 4), Text(kBuffer - 3, 5), "x"};
         }},
        {"lines of 1000 bytes crossing every edge", [] {
             Lines l{Text(500, 6)};
             for (unsigned i = 0; i < 1200; ++i) l.push_back(Text(1000, i));
             return l;
         }},
        {"one line larger than the buffer among small ones", [] {
             return Lines{"first", Text(3 * kBuffer + 7, 7), "after", Text(kBuffer + 1, 8), "z"};
         }},
        {"one line, exactly the buffer", [] { return Lines{Text(kBuffer, 9)}; }},
    };
    return shapes;
}

class LargeSaveTest : public DocumentFileTest {
protected:
    static void Fill(LineStore& store, const Lines& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i) store.SetLine(int(i), lines[i]);
    }
};

TEST_F(LargeSaveTest, SaveSaveAsAndSplitWriteEveryByte) {
    for (const Shape& shape : Shapes()) {
        SCOPED_TRACE(shape.what);
        const Lines lines = shape.lines();
        const std::string whole = FileOf(lines, 0, lines.size() - 1);
        LineStore store;
        Fill(store, lines);

        // Save as over a longer file, then a plain save under that name.
        const std::string name = Path("doc.txt");
        WriteBytes(name, std::string(whole.size() + kBuffer, '#'));
        ASSERT_EQ(SaveAs(store, name), 1);
        EXPECT_TRUE(ReadBytes(name) == whole) << ReadBytes(name).size() << " of " << whole.size();
        store.SetLine(0, "changed");
        ASSERT_EQ(Save(store), SaveOutcome::Saved);
        Lines changed = lines;
        changed[0] = "changed";
        EXPECT_TRUE(ReadBytes(name) == FileOf(changed, 0, changed.size() - 1));

        // Split: the part from the second line to the one before the last.
        const std::size_t last = lines.size() - 1;
        ASSERT_EQ(WriteRange(store, Path("part.txt"), 1, int(last) - 1), 0);
        EXPECT_TRUE(ReadBytes(Path("part.txt")) == FileOf(changed, 1, last - 1));
        EXPECT_TRUE(host.messageIds.empty());
        EXPECT_EQ(DirEntries(dir), (Lines{"doc.txt", "part.txt"}));
        ::unlink(Path("part.txt").c_str());
    }
}

// Runs save in a child whose files may not grow beyond limit bytes (write fails with
// EFBIG instead of a signal). The child's exit status: 0 when the save failed with a
// message, 1 when it reported success, 2 when it failed silently.
int SaveWithFileLimit(std::size_t limit, const std::function<int()>& save,
                      const std::function<std::size_t()>& messages) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{rlim_t(limit), rlim_t(limit)};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(3);
        int result = save();
        ::_exit(result == 0 ? 1 : messages() > 0 ? 0 : 2);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST_F(LargeSaveTest, ASaveThatMayNotGrowFailsAndLeavesTheOldFile) {
    const std::string old = FileOf(Lines(100, Text(98, 1)), 0, 99);  // 10,000 bytes
    LineStore store;
    Fill(store, Lines{Text(100, 2), Text(3 * kBuffer, 3), "end"});
    auto messages = [&] { return host.messageIds.size(); };

    struct Case {
        const char* what;
        std::size_t limit;  // bytes a file may reach
        bool hardLink;      // written in place after a backup
    } cases[] = {
        {"fails in the first buffer", 5000 + old.size(), false},
        {"fails after a flush", 2 * kBuffer + 100, false},
        {"fails one byte short", 3 * kBuffer + 108, false},  // the new file is 3 * kBuffer + 109
        {"in place, fails after a flush", 2 * kBuffer, true},
        {"in place, the backup cannot be made", old.size() / 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = Path("doc.txt");
        WriteBytes(name, old);
        Lines entries{"doc.txt"};
        if (c.hardLink) {
            ASSERT_EQ(::link(name.c_str(), Path("twin.txt").c_str()), 0);
            entries.push_back("twin.txt");
        }
        EXPECT_EQ(SaveWithFileLimit(c.limit, [&] { return SaveTo(store, name); }, messages), 0);
        EXPECT_TRUE(ReadBytes(name) == old) << ReadBytes(name).size() << " bytes";
        EXPECT_EQ(DirEntries(dir), entries);  // no temporary file, no backup left
        ::unlink(Path("twin.txt").c_str());
    }
    // A split into a new file that may not grow leaves no file behind.
    EXPECT_EQ(SaveWithFileLimit(kBuffer + 5, [&] { return WriteRange(store, Path("p.txt"), 0, 2); },
                                messages),
              0);
    EXPECT_EQ(DirEntries(dir), Lines{"doc.txt"});
}

}  // namespace
}  // namespace varlin
