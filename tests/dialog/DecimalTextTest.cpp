#include "dialog/DecimalText.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ReadLeadingInt, ReadsLikeAtoiAndSaturates)
{
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"7", 7},
        {"  7", 7},
        {"\t\n7", 7},
        {"7  ", 7},
        {"+7", 7},
        {"-7", -7},
        {"7x", 7},
        {"7.9", 7},
        {"x7", 0},
        {"", 0},
        {"-", 0},
        {"+-7", 0},
        {"- 7", 0},
        {"007", 7},
        {"1:2", 1},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadLeadingInt(c.text), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(ReadLeadingInt(nullptr), 0);
}
