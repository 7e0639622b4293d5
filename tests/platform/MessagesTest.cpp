#include "platform/HeadlessHost.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace varlin {
namespace {

TEST(Messages, MissingFileGives1026WithTheNameInTheText) {
    HeadlessHost host;
    host.writeMessagesToStderr = false;
    host.Install();
    std::FILE* f = std::fopen("/nonexistent-dir/none.txt", "rb");
    ASSERT_EQ(f, nullptr);
    EXPECT_EQ(MessageIdForErrno(), 1026);
    ShowFileError("/nonexistent-dir/none.txt");
    ASSERT_EQ(host.messageIds.size(), 1u);
    EXPECT_EQ(host.messageIds[0], 1026);
    EXPECT_NE(host.messageTexts[0].find("/nonexistent-dir/none.txt"), std::string::npos);
    EXPECT_EQ(host.errorMessages, 1);
}

}  // namespace
}  // namespace varlin
