#include <gtest/gtest.h>

#include "measure/IntervalInput.h"

TEST(IntervalInput, IntegerTestComesBeforeRangeTest) {
    const std::string kInteger = "Please enter an integer.";
    const std::string kRange = "Please enter an integer between 2 and 600.";
    struct Case {
        std::string text;
        bool ok;
        int value;
        std::string message;
    };
    const Case cases[] = {
        {"2", true, 2, ""},           {"600", true, 600, ""},
        {" \t10 \t", true, 10, ""},   {"+15", true, 15, ""},
        {"0010", true, 10, ""},       {"1", false, 0, kRange},
        {"601", false, 0, kRange},    {"0", false, 0, kRange},
        {"-5", false, 0, kRange},     {"99999999999999999999999", false, 0, kRange},
        {"", false, 0, kInteger},     {"   ", false, 0, kInteger},
        {"10s", false, 0, kInteger},  {"abc", false, 0, kInteger},
        {"1 0", false, 0, kInteger},  {"-0", false, 0, kInteger},
        {"+0", false, 0, kInteger},   {"+-3", false, 0, kInteger},
        {"\n10", false, 0, kInteger}, {"0x10", false, 0, kInteger},
        {"1.5", false, 0, kInteger},  {std::string("10\0", 3), false, 0, kInteger},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        const IntervalCheck check = CheckIntervalText(c.text);
        EXPECT_EQ(check.ok, c.ok);
        EXPECT_EQ(check.message, c.message);
        if (c.ok) {
            EXPECT_EQ(check.value, c.value);
        }
    }
}
