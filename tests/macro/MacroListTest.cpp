// The macro list: both tables in one case-blind order, the length rule for a taken line,
// and the taken line typed into the document (recorded like typing).
#include "editing/EditWindow.h"
#include "editing/MacroCommands.h"
#include "editing/Recording.h"
#include "macro/MacroList.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace varlin {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TEST(MacroList, MixesBothTablesInOneCaseBlindOrder) {
    const MacroCommand* internal = Get_MacroLib_InternalFunctionList(MACROLIB_VERSION);
    ASSERT_NE(internal, nullptr);
    int internalCount = 0;
    while (internal[internalCount].Name != nullptr) ++internalCount;
    const auto lines = MacroListLines(MacroCommandTable(), internal);
    EXPECT_EQ(static_cast<int>(lines.size()), kMacroCommandCount + internalCount);
    EXPECT_EQ(lines.front(), "Append (Filename)");
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_LE(Lower(lines[i - 1]), Lower(lines[i])) << lines[i];
    auto has = [&](const char* l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
    EXPECT_TRUE(has("Find (String,Mode)"));
    EXPECT_TRUE(has("Backspace ()"));
    EXPECT_TRUE(has("GetDrag (FromLine,FromCol,ToLine,ToCol)"));
    // The editor's Print () and the interpreter's Print (Value) both appear.
    EXPECT_TRUE(has("Print ()"));
    // "LineUp" and "Linefeed" compare without regard to case.
    auto at = [&](const char* l) { return std::find(lines.begin(), lines.end(), l) - lines.begin(); };
    EXPECT_LT(at("Linefeed ()"), at("LineUp ()"));
}

TEST(MacroList, ALineOf199CharactersOrMoreIsNotTaken) {
    MacroListRequest request;
    TakeMacroListLine(request, std::string(198, 'x'));
    EXPECT_EQ(request.text.size(), 198u);
    TakeMacroListLine(request, std::string(199, 'x'));
    EXPECT_TRUE(request.text.empty());
    MacroCommand longEntry{"N", 1, "", nullptr};
    const std::string name(400, 'n');
    longEntry.Name = name.c_str();
    EXPECT_EQ(MacroListLine(longEntry).size(), std::size_t(kMacroListLineSize - 1));
}

struct MacroListCommand : ::testing::Test {
    Options options;
    HeadlessHost host;
    EditWindow w;
    void SetUp() override {
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        host.writeMessagesToStderr = false;
        host.Install();
    }
    void TearDown() override {
        SetActiveEditWindow(nullptr);
        SetCurrentOptions(nullptr);
    }
};

TEST_F(MacroListCommand, TheTakenLineIsTypedAtTheCursor) {
    SetActiveEditWindow(&w);
    bool couldTake = false;
    host.dialogAnswers.push_back([&](DialogId id, void* record) {
        EXPECT_EQ(id, DialogId::MacroList);
        auto& request = *static_cast<MacroListRequest*>(record);
        couldTake = request.canTake;
        TakeMacroListLine(request, "Goto (Line,Column)");
        return 1;
    });
    CommandMacroList();
    EXPECT_TRUE(couldTake);
    EXPECT_EQ(w.doc->LineView(0), "Goto (Line,Column)");
    EXPECT_EQ(w.caretCol, 18);
}

TEST_F(MacroListCommand, WithoutADocumentNothingCanBeTaken) {
    bool couldTake = true;
    host.dialogAnswers.push_back([&](DialogId, void* record) {
        couldTake = static_cast<MacroListRequest*>(record)->canTake;
        return 2;
    });
    CommandMacroList();
    EXPECT_FALSE(couldTake);
    // Cancelled (as batch mode does): nothing is typed.
    SetActiveEditWindow(&w);
    CommandMacroList();
    EXPECT_EQ(host.dialogsWanted.size(), 2u);
    EXPECT_EQ(w.LineCount(), 0);
}

}  // namespace
}  // namespace varlin
