#include "ical/CICalendarDuration.h"

#include <climits>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

using iCal::CICalendarDuration;

TEST(CICalendarDuration, FromSecondsAndToText)
{
    struct Row {
        int64_t seconds;
        const char* text;
    };
    const Row rows[] = {
        {0, "P"},           {3600, "PT1H"},         {3605, "PT1H0M5S"}, {604800, "P1W"},
        {90000, "P1DT1H"},  {-900, "-PT15M"},       {1209600, "P2W"},   {60, "PT1M"},
        {86400, "P1D"},     {86401, "P1DT1S"},      {-604800, "-P1W"},  {61, "PT1M1S"},
        {7200 + 120, "PT2H2M"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.seconds);
        CICalendarDuration duration;
        duration.FromSeconds(row.seconds);
        EXPECT_EQ(row.text, duration.ToText());
        EXPECT_EQ(row.seconds, duration.TotalSeconds());
        // And back from the text.
        CICalendarDuration read;
        read.FromText(row.text);
        EXPECT_EQ(row.seconds, read.TotalSeconds());
        EXPECT_EQ(row.text, read.ToText());
    }
}

TEST(CICalendarDuration, FromText)
{
    struct Row {
        const char* text;
        bool forward;
        int weeks, days, hours, minutes, seconds;
    };
    const Row rows[] = {
        {"PT15M", true, 0, 0, 0, 15, 0},
        {"-P1D", false, 0, 1, 0, 0, 0},
        {"+PT1H", true, 0, 0, 1, 0, 0},
        {"P1W2D", true, 1, 0, 0, 0, 0},  // weeks end the text
        {"P1DT2H3M4S", true, 0, 1, 2, 3, 4},
        {"PT1H5S", true, 0, 0, 1, 0, 5},
        {"P2D", true, 0, 2, 0, 0, 0},
        {"P", true, 0, 0, 0, 0, 0},
        {"X1D", true, 0, 0, 0, 0, 0},               // no "P": nothing read
        {"P1X", true, 0, 0, 0, 0, 0},               // neither W nor D
        {"P3DT", true, 0, 3, 0, 0, 0},
        {"P99999999999D", true, 0, 0, 0, 0, 0},     // overflowing number stops the parse
        {"PT2147483647S", true, 0, 0, 0, 0, INT_MAX},
        {"P5DT1H99999999999M", true, 0, 5, 1, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarDuration duration;
        duration.FromText(row.text);
        EXPECT_EQ(row.forward, duration.forward);
        EXPECT_EQ(row.weeks, duration.weeks);
        EXPECT_EQ(row.days, duration.days);
        EXPECT_EQ(row.hours, duration.hours);
        EXPECT_EQ(row.minutes, duration.minutes);
        EXPECT_EQ(row.seconds, duration.seconds);
    }

    // Counts the text does not name keep their values.
    CICalendarDuration kept;
    kept.hours = 7;
    kept.FromText("P1D");
    EXPECT_EQ(1, kept.days);
    EXPECT_EQ(7, kept.hours);
}

TEST(CICalendarDuration, LargeCountsStayExact)
{
    CICalendarDuration duration;
    duration.weeks = INT_MAX;
    duration.days = INT_MAX;
    EXPECT_EQ(int64_t{INT_MAX} * 604800 + int64_t{INT_MAX} * 86400, duration.TotalSeconds());
    duration.forward = false;
    EXPECT_EQ(-(int64_t{INT_MAX} * 604800 + int64_t{INT_MAX} * 86400), duration.TotalSeconds());

    CICalendarDuration extreme;
    extreme.FromSeconds(std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(extreme.forward);
    EXPECT_EQ(INT_MAX, extreme.days);  // saturated, no overflow
}
