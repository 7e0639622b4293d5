// The DLL test with a library that records what happens to it: the round trip of a call,
// the library loaded afresh and released for every call, the names kept under "DllTest",
// "&Abbruch" loading nothing, and messages 1120 and 1121 (a 60-character name is looked
// up with its first 49 characters).
#include "TestPaths.h"
#include "macro/DllTest.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace varlin {
namespace {

const std::string kLibrary = VARLIN_DLLTEST_LIBRARY;
const std::string kLongName = "VarlinTestFunctionWithAVeryLongNameOfExactlySixtyCharacters1";

class DllTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsFile(folder_.File("settings.ini"));
        ::setenv("VARLIN_DLLTEST_RECORD", folder_.File("record").c_str(), 1);
        host_.Reset();
        host_.writeMessagesToStderr = false;
        host_.Install();
    }
    void TearDown() override {
        ::unsetenv("VARLIN_DLLTEST_RECORD");
        SetSettingsFile("");
    }
    // Queues the dialog's answer: "Auf&ruf" with these names, or "&Abbruch".
    void Answer(const std::string& dll, const std::string& function, int result = 1) {
        host_.dialogAnswers.push_back([=](DialogId id, void* record) {
            EXPECT_EQ(id, DialogId::DllTest);
            auto* r = static_cast<DllTestRecord*>(record);
            if (result == 1) *r = {dll, function};
            return result;
        });
    }
    std::string Record() const { return test::ReadFile(folder_.File("record")); }

    test::TestFolder folder_;
    HeadlessHost host_;
};

TEST_F(DllTest, CallsTheFunctionWithTheHandleInALibraryLoadedAfreshEachTime) {
    Answer(kLibrary, "VarlinTestFunction");
    EXPECT_EQ(CallDllTestFunction(4711), 1);
    EXPECT_EQ(Record(), "loaded\ncalled 4711\nunloaded\n");
    // The dialog opens on the stored names; the second call loads the library again.
    host_.dialogAnswers.push_back([](DialogId, void* record) {
        auto* r = static_cast<DllTestRecord*>(record);
        return r->dll == kLibrary && r->function == "VarlinTestFunction" ? 1 : 2;
    });
    EXPECT_EQ(CallDllTestFunction(5), 1);
    EXPECT_EQ(Record(), "loaded\ncalled 4711\nunloaded\nloaded\ncalled 5\nunloaded\n");
    EXPECT_TRUE(host_.messageIds.empty());
}

TEST_F(DllTest, CancelLoadsNothingAndKeepsTheNames) {
    Korvel_WriteStringToHKCU("DllTest", "Dll", "before");
    Answer("", "", 0);
    EXPECT_EQ(CallDllTestFunction(1), 0);
    EXPECT_EQ(Korvel_ReadStringFromHKCU("DllTest", "Dll", ""), "before");
    EXPECT_EQ(Korvel_ReadStringFromHKCU("DllTest", "Function", "none"), "none");
    EXPECT_EQ(Record(), "");
}

TEST_F(DllTest, Messages1120And1121NameWhatWasUsed) {
    // The library's name is used as typed: the capitals stay.
    const std::string missing = folder_.File("NoSuchLibrary.so");
    Answer(missing, "VarlinTestFunction");
    EXPECT_EQ(CallDllTestFunction(1), 0);
    Answer(kLibrary, kLongName);
    EXPECT_EQ(CallDllTestFunction(1), 0);
    ASSERT_EQ(host_.messageIds, (std::vector<int>{1120, 1121}));
    EXPECT_NE(host_.messageTexts[0].find(missing), std::string::npos);
    const std::string shortened = kLongName.substr(0, 49);
    EXPECT_NE(host_.messageTexts[1].find(shortened + "\n"), std::string::npos) << host_.messageTexts[1];
    EXPECT_EQ(Korvel_ReadStringFromHKCU("DllTest", "Function", ""), kLongName);  // stored in full
    EXPECT_EQ(Record(), "loaded\nunloaded\n");  // released after the failed look-up too
}

}  // namespace
}  // namespace varlin
