#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "sim/SimOptions.h"

namespace {
TEST(SimOptions, DefaultsServeAWellBehavedAmplifier) {
    const SimOptionsResult result = ParseSimOptions({});
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.options.fault.mode, FaultMode::None);
    EXPECT_EQ(result.options.fault.afterReadings, 0);
    EXPECT_EQ(result.options.seed, 1u);
    EXPECT_EQ(result.options.logPath, "");
    EXPECT_FALSE(result.options.help);
}

TEST(SimOptions, ReadsEveryOption) {
    const SimOptionsResult result =
        ParseSimOptions({"--fault", "slow", "--fault-after", "3", "--delay-ms", "450", "--seed",
                         "18446744073709551615", "--log", "/tmp/x.log", "--link", "/tmp/amp",
                         "--line-end", "crlf", "--help"});
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.options.fault.mode, FaultMode::Slow);
    EXPECT_EQ(result.options.fault.afterReadings, 3);
    EXPECT_EQ(result.options.fault.delayMs, 450);
    EXPECT_EQ(result.options.seed, 18446744073709551615ull);
    EXPECT_EQ(result.options.logPath, "/tmp/x.log");
    EXPECT_EQ(result.options.linkPath, "/tmp/amp");
    EXPECT_EQ(result.options.lineEnd, "\r\n");
    EXPECT_TRUE(result.options.help);
}

TEST(SimOptions, LineEndsAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"cr", "\r"}, {"lf", "\n"}, {"crlf", "\r\n"}};
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(ParseSimOptions({"--line-end", name}).options.lineEnd, bytes) << name;
    }
    EXPECT_EQ(ParseSimOptions({}).options.lineEnd, "\r");
}

TEST(SimOptions, RejectsWhatItCannotUse) {
    const std::vector<std::vector<std::string>> cases = {
        {"--fault", "loud"},
        {"--fault"},
        {"--fault-after", "-1"},
        {"--fault-after", "2x"},
        {"--delay-ms", ""},
        {"--delay-ms", "1e3"},
        {"--seed", "-5"},
        {"--log", ""},
        {"--bogus"},
        {"extra"},
        {"--link", ""},
        {"--line-end", "lfcr"},
    };
    for (const auto& args : cases) {
        EXPECT_NE(ParseSimOptions(args).error, "") << args[0];
    }
}

TEST(SimOptions, UsageNamesEveryOptionAndFault) {
    const std::string usage = SimUsage("varkel-sim");
    for (const char* word : {"--fault", "--fault-after", "--delay-ms", "--seed", "--log", "--help",
                             "silent", "garbage", "nan", "inf", "overlong", "slow", "hangup",
                             "trickle", "--link", "--line-end", "SIGUSR1", "SIGUSR2"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}
}  // namespace
