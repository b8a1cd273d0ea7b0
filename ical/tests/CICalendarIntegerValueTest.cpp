#include "ical/CICalendarIntegerValue.h"

#include <string>

#include <gtest/gtest.h>

using iCal::CICalendarIntegerValue;

TEST(CICalendarIntegerValue, FromText)
{
    struct Row {
        const char* text;
        int32_t value;
    };
    const Row rows[] = {
        {"5", 5},          {"  +7", 7},       {"-42abc", -42},        {"abc", 0},
        {"", 0},           {"\t12", 12},      {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
        {"- 3", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarIntegerValue value(9);
        value.FromText(row.text);
        EXPECT_EQ(row.value, value.value);
    }
}
