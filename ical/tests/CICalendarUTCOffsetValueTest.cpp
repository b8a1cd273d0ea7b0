#include "ical/CICalendarUTCOffsetValue.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

using iCal::CICalendarUTCOffsetValue;

TEST(CICalendarUTCOffsetValue, Read)
{
    struct Row {
        const char* text;
        int32_t seconds;
    };
    const Row rows[] = {
        {"+0900", 32400},   {"-0500", -18000},  {"+053000", 19800}, {"+0000", 0},
        {"-0000", 0},       {"+010101", 3661},  {"-123045", -45045},
        {"0900", 0},        // 4 characters
        {"+09:00", 0},      // 6 characters
        {"+09000", 0},      {"", 0},            {"+090000Z", 0},
        {" 0900", -32400},  // any first character other than "+" is negative
        {"+0a00", 0},       // a field stops at its first non-digit
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarUTCOffsetValue value(77);
        value.FromText(row.text);
        EXPECT_EQ(row.seconds, value.value);
    }
}

TEST(CICalendarUTCOffsetValue, Write)
{
    struct Row {
        int32_t seconds;
        const char* text;
    };
    const Row rows[] = {
        {32400, "+0900"}, {-18000, "-0500"}, {19800, "+0530"},  {0, "+0000"},
        {3661, "+010101"}, {-45045, "-123045"}, {-59, "-000059"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seconds);
        const CICalendarUTCOffsetValue value(row.seconds);
        EXPECT_EQ(row.text, value.Text());
        CICalendarUTCOffsetValue read;
        read.FromText(row.text);
        EXPECT_EQ(row.seconds, read.value);
    }
}

TEST(CICalendarUTCOffsetValue, WritesTheMostNegativeNumberWithoutOverflow)
{
    EXPECT_EQ("-596523", CICalendarUTCOffsetValue::WriteOffset(INT_MIN).substr(0, 7));
}
