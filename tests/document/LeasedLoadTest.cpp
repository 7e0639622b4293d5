// Large files are read through a leased mapping: the lines must be those the reading
// rules give byte by byte (the read path's, taken while a writer keeps the lease away),
// and a file another program empties under a loaded document must neither crash us nor
// change the document.
#include "document/DiskIdentity.h"
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "platform/LeasedText.h"

#include <fcntl.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace varlin {
namespace {

using testing::DocumentFileTest;
using testing::StoreLines;
using testing::WriteBytes;

class LeasedLoadTest : public DocumentFileTest {
protected:
    // A file past the lease limit whose lines hold every byte the rules treat apart.
    std::string RandomText(std::mt19937& random) {
        const char special[] = {'\n', '\r', 0x1A, '\xC3', '\xA9', '\t'};
        std::string text;
        while (text.size() < kLeasedTextFrom + 4096) {
            const int length = static_cast<int>(random() % 90);
            for (int i = 0; i < length; ++i)
                text += random() % 50 ? 'a' + static_cast<char>(random() % 26) : special[random() % 6];
            text += random() % 3 ? "\r\n" : "\n";
        }
        return text;
    }

    bool Leased(const LineStore& store) { return store.LoadedText() && store.LoadedText()->Leased(); }
    std::uint64_t Hash(const LineStore& store) {
        std::uint64_t hash = 0;
        EXPECT_TRUE(HashOf(store.disk, store.LoadedText().get(), hash));
        return hash;
    }
};

TEST_F(LeasedLoadTest, MappedFilesReadAsTheReadPathReadsThem) {
    options.LngLineBuffer = 3000;
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        std::string text = RandomText(random);
        if (round % 3 == 0) text.erase(std::remove(text.begin(), text.end(), 0x1A), text.end());
        if (round % 2 == 1) text.pop_back();  // no line end at the end
        options.LockMode = round % 2;
        const std::string path = Path("big.txt");
        WriteBytes(path, text);
        LineStore mapped;
        ASSERT_EQ(Load(mapped, path, 1), 0);
        EXPECT_TRUE(Leased(mapped)) << round;
        // A writer keeps any lease away: the file is read.
        const int writer = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        LineStore read;
        ASSERT_EQ(Load(read, path, 1), 0);
        ::close(writer);
        EXPECT_FALSE(Leased(read));
        EXPECT_EQ(StoreLines(mapped), StoreLines(read)) << round;
        EXPECT_EQ(mapped.lineEnds, read.lineEnds) << round;
        EXPECT_EQ(mapped.cutAtCtrlZ, read.cutAtCtrlZ) << round;
        EXPECT_EQ(mapped.utf8, read.utf8) << round;
        EXPECT_EQ(Hash(mapped), Hash(read)) << round;
    }
}

TEST_F(LeasedLoadTest, AFileEmptiedUnderTheDocumentKeepsItsText) {
    options.LockMode = 0;
    std::mt19937 random(3);
    std::string text = RandomText(random);
    text.erase(std::remove(text.begin(), text.end(), 0x1A), text.end());
    const std::string path = Path("big.txt");
    for (const bool otherProcess : {false, true}) {
        WriteBytes(path, text);
        LineStore store;
        ASSERT_EQ(Load(store, path, 1), 0);
        ASSERT_TRUE(Leased(store));
        const std::vector<std::string> before = StoreLines(store);
        // Touched without a change: the hash, worked out only now, says unchanged.
        ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);
        EXPECT_FALSE(ChangedOnDisk(store.disk, path, store.LoadedText().get()));
        if (otherProcess) {
            const pid_t child = ::fork();
            if (child == 0) {
                const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
                _exit(fd >= 0 && ::write(fd, "x", 1) == 1 ? 0 : 1);
            }
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            ASSERT_EQ(::truncate(path.c_str(), 0), 0);
        }
        EXPECT_FALSE(Leased(store));
        EXPECT_EQ(StoreLines(store), before);  // every page read again after the cut
        EXPECT_TRUE(ChangedOnDisk(store.disk, path, store.LoadedText().get()));
        host.answers.push_back(IdYes);  // overwrite the other program's change
        ASSERT_EQ(SaveTo(store, path), 0);
        LineStore again;
        ASSERT_EQ(Load(again, path, 1), 0);
        EXPECT_EQ(StoreLines(again), before);
    }
}

}  // namespace
}  // namespace varlin
