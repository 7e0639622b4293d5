// Recovery copies as the user meets them: the question's three answers (and a damaged
// copy refused), the recovered text undone back to the file's, copies of documents
// without a name, when a copy falls due, and its removal on save, close and exit.
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "editing/EditTestSupport.h"
#include "editing/UndoHistory.h"
#include "editing/UndoRecord.h"
#include "resources/StringTable.h"
#include "view/DocumentWindow.h"
#include "view/RecoveryOffer.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace varlin::test {
namespace {

using varlin::testing::DirEntries;
using varlin::testing::MakeScratchDir;
using varlin::testing::ReadBytes;
using varlin::testing::RemoveTree;
using varlin::testing::StoreLines;
using varlin::testing::WriteBytes;

using Lines = std::vector<std::string>;

struct RecoveryOfferTest : EditFixture {
    std::string dir = MakeScratchDir();
    std::string file = dir + "/a.c";
    void SetUp() override {
        EditFixture::SetUp();
        options.UndoSteps = 100;
        SetRecoveryFolder(dir + "/recovery");
    }
    void TearDown() override {
        EditFixture::TearDown();
        SetRecoveryFolder("");
        RemoveTree(dir);
    }
    // The window shows the file as loaded.
    void OpenFile(EditWindow& into, const std::string& text) {
        WriteBytes(file, text);
        ASSERT_EQ(Load(*into.doc, file, 0), 0);
        StartHistory(into);
    }
    // A copy left by a run that ended without removing it.
    static void LeaveCopy(const std::string& name, const Lines& lines) {
        LineStore store;
        for (std::size_t i = 0; i < lines.size(); ++i) store.SetLine(int(i), lines[i]);
        store.SetFileName(name);
        RecoveryCopy copy;
        ASSERT_EQ(copy.Write(TakeRecoverySnapshot(store, copy.Generation())), 0);
    }
    int Copies() {
        int n = 0;
        for (const std::string& e : DirEntries(dir + "/recovery")) n += e.rfind("copy-", 0) == 0;
        return n;
    }
};

TEST_F(RecoveryOfferTest, TheQuestionsAnswers) {
    struct Case {
        const char* name;
        int answer;
        bool damaged;
        bool savedLater;  // the file was saved after the copy
        Lines text;       // the window's text afterwards
        int copies;       // copies on the disk afterwards
    } cases[] = {
        {"yes loads the copy", IdYes, false, false, {"alt", "neu", "zwei"}, 1},
        {"no keeps it", IdNo, false, true, {"alt", "zwei"}, 1},
        {"discard deletes it", IdDiscard, false, false, {"alt", "zwei"}, 0},
        {"a damaged copy is refused", IdYes, true, false, {"alt", "zwei"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(dir + "/recovery");
        w = std::make_unique<EditWindow>();
        OpenFile(*w, "alt\nzwei\n");
        LeaveCopy(file, {"alt", "neu", "zwei"});
        if (c.damaged) {
            for (const std::string& e : DirEntries(dir + "/recovery")) {
                std::string bytes = ReadBytes(dir + "/recovery/" + e);
                bytes[bytes.size() - 3] ^= 1;
                WriteBytes(dir + "/recovery/" + e, bytes);
            }
        }
        if (c.savedLater) {
            const timespec later[2] = {{std::time(nullptr) + 100, 0}, {std::time(nullptr) + 100, 0}};
            ::utimensat(AT_FDCWD, file.c_str(), later, 0);
        }
        host.messageIds.clear();
        host.messageTexts.clear();
        host.answers = {c.answer};
        OfferRecoveryCopies(*w, nullptr);
        EXPECT_EQ(StoreLines(*w->doc), c.text);
        EXPECT_EQ(Copies(), c.copies);
        ASSERT_FALSE(host.messageIds.empty());
        EXPECT_EQ(host.messageIds.back(), c.damaged ? kRecoveryDamaged : kRecoveryQuestion);
        const std::string& asked = host.messageTexts.front();
        EXPECT_NE(asked.find(file), std::string::npos);
        const std::string older = LoadAppString(kRecoveryOlderNote).substr(2);
        EXPECT_EQ(asked.find(older) != std::string::npos, c.savedLater);
        if (c.answer == IdYes && !c.damaged) {
            EXPECT_EQ(w->modified, 1);
            EXPECT_EQ(w->caretLine, 1);  // at the first recovered change
            Undo(*w);                    // back to the file's text, which is saved
            EXPECT_EQ(StoreLines(*w->doc), Lines({"alt", "zwei"}));
            EXPECT_EQ(w->modified, 0);
            // Taken over: nobody else is offered it, and as the file holds the text again it goes.
            EXPECT_TRUE(FindRecoveryCopies(file).empty());
            RecoveryDue(*w, 0, 5, false);
            EXPECT_EQ(Copies(), 0);
        }
    }
}

TEST_F(RecoveryOfferTest, TheOneUndoStepTakesBackARecoveredLine) {
    options.UndoSteps = 1;
    OpenFile(*w, "alt\nzwei\n");
    LeaveCopy(file, {"alt", "zwei, getippt"});
    host.answers = {IdYes};
    OfferRecoveryCopies(*w, nullptr);
    EXPECT_EQ(StoreLines(*w->doc), Lines({"alt", "zwei, getippt"}));
    Undo(*w);
    EXPECT_EQ(StoreLines(*w->doc), Lines({"alt", "zwei"}));
    EXPECT_EQ(w->modified, 0);
}

TEST_F(RecoveryOfferTest, ACopyWithoutNameComesBackInAWindowWithoutName) {
    LeaveCopy("", {"ungespeichert"});
    LeaveCopy(file, {"belongs to a.c"});
    std::vector<std::unique_ptr<EditWindow>> opened;
    host.answers = {IdYes};
    OfferUnnamedRecoveries([&] { return opened.emplace_back(std::make_unique<EditWindow>()).get(); });
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(StoreLines(*opened[0]->doc), Lines({"ungespeichert"}));
    EXPECT_EQ(opened[0]->doc->FileName(), "");
    EXPECT_EQ(opened[0]->modified, 1);
    EXPECT_NE(host.messageTexts.back().find(LoadAppString(kUntitledStringId)), std::string::npos);
}

TEST_F(RecoveryOfferTest, ACopyIsDueSecondsAfterTheFirstChangeAndGoesOnSaveCloseAndExit) {
    auto change = [&](const char* text) {
        w->doc->SetLine(0, text);
        w->modified = 1;
    };
    auto write = [&](double now, bool writing = false) {
        std::optional<RecoverySnapshot> due = RecoveryDue(*w, now, 5, writing);
        if (due) {
            EXPECT_EQ(w->doc->recovery->Write(*due), 0);
        }
        return due.has_value();
    };
    OpenFile(*w, "alt\n");
    EXPECT_FALSE(write(0));
    change("a");
    EXPECT_FALSE(write(1));
    EXPECT_FALSE(write(5.9));
    change("ab");  // steady typing does not put the copy off
    EXPECT_TRUE(write(6));
    EXPECT_EQ(Copies(), 1);
    EXPECT_FALSE(write(20));  // nothing new
    change("abc");
    EXPECT_FALSE(write(21));
    EXPECT_FALSE(write(27, true));  // the last copy is still being written
    EXPECT_TRUE(write(27.25));
    EXPECT_FALSE(RecoveryDue(*w, 100, 0, false));  // 0: off

    ASSERT_EQ(SaveTo(*w->doc, file), 0);
    w->modified = 0;
    EXPECT_EQ(Copies(), 0);
    change("closed");
    EXPECT_FALSE(write(30));
    EXPECT_TRUE(write(35));
    host.answers = {IdNo};  // 1306: the changes are discarded
    EXPECT_EQ(QueryClose(*w), 1);
    EXPECT_EQ(Copies(), 0);
    change("exit");
    EXPECT_FALSE(write(40));
    EXPECT_TRUE(write(45));
    EXPECT_EQ(Copies(), 1);
    w.reset();  // the window goes with the program's end
    EXPECT_EQ(Copies(), 0);
}

}  // namespace
}  // namespace varlin::test
