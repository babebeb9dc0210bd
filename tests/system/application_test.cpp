#include "system/application.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "core/text.h"

namespace {

#if GTEST_HAS_DEATH_TEST
void SayFirst() {
    std::fputs("first-registered ", stderr);
}

void SaySecond() {
    std::fputs("second-registered ", stderr);
}

TEST(ApplicationDeathTest, EndProgramExitsWithZeroAfterTheExitHandlersNewestFirst) {
    EXPECT_EXIT(
        {
            qrv::AddExitHandler(SayFirst);
            qrv::AddExitHandler(SaySecond);
            qrv::EndProgram();
        },
        testing::ExitedWithCode(0), "second-registered first-registered");
}
#else
TEST(ApplicationDeathTest, EndProgramExitsWithZeroAfterTheExitHandlersNewestFirst) {
    GTEST_SKIP() << "a death test runs in a child process, which a browser's runtime cannot start";
}
#endif

TEST(Application, DateAndTimeTexts) {
    const std::string date = qrv::ToUtf8(qrv::DateText());
    const std::string time = qrv::ToUtf8(qrv::TimeText());
    EXPECT_TRUE(std::regex_match(date, std::regex(R"(\d\d [A-Z][a-z]{2} \d{4})"))) << date;
    EXPECT_TRUE(std::regex_match(time, std::regex(R"(\d\d:\d\d:\d\d)"))) << time;
}

}  // namespace
