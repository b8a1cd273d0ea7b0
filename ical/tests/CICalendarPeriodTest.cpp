#include "ical/CICalendarPeriod.h"

#include <string>

#include <gtest/gtest.h>

using iCal::CICalendarDateTime;
using iCal::CICalendarPeriod;

TEST(CICalendarPeriod, FromTextAndToText)
{
    struct Row {
        const char* text;
        const char* start;
        const char* end;
        const char* duration;
        bool useDuration;
        const char* written;
    };
    const Row rows[] = {
        {"20130105T090000Z/PT1H", "20130105T090000Z", "20130105T100000Z", "PT1H", true, "20130105T090000Z/PT1H"},
        {"20130105T090000Z/20130105T100000Z", "20130105T090000Z", "20130105T100000Z", "PT1H", false,
         "20130105T090000Z/20130105T100000Z"},
        {"20130105T230000/P1DT2H", "20130105T230000", "20130107T010000", "P1DT2H", true, "20130105T230000/P1DT2H"},
        {"20130105T090000/20130112T090000", "20130105T090000", "20130112T090000", "P1W", false,
         "20130105T090000/20130112T090000"},
        {"20130105/20130107", "20130105", "20130107", "P2D", false, "20130105/20130107"},
        // No slash: nothing changes.
        {"20130105T090000Z", "19700101T000000", "19700101T000000", "P", false, "19700101T000000/19700101T000000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarPeriod period;
        period.FromText(row.text);
        EXPECT_EQ(row.start, period.start.ToText());
        EXPECT_EQ(row.end, period.end.ToText());
        EXPECT_EQ(row.duration, period.duration.ToText());
        EXPECT_EQ(row.useDuration, period.useDuration);
        EXPECT_EQ(row.written, period.ToText());
    }
}

TEST(CICalendarPeriod, ConstructorsAndHalfOpenContains)
{
    CICalendarDateTime start;
    start.FromText("20130105T090000Z");
    CICalendarDateTime end;
    end.FromText("20130105T100000Z");
    const CICalendarPeriod period(start, end);
    EXPECT_EQ("PT1H", period.duration.ToText());
    EXPECT_FALSE(period.useDuration);

    iCal::CICalendarDuration hour;
    hour.FromText("PT1H");
    const CICalendarPeriod byDuration(start, hour);
    EXPECT_EQ("20130105T100000Z", byDuration.end.ToText());
    EXPECT_TRUE(byDuration.useDuration);

    struct Row {
        const char* text;
        bool inside;
    };
    const Row rows[] = {
        {"20130105T085959Z", false},
        {"20130105T090000Z", true},  // start included
        {"20130105T095959Z", true},
        {"20130105T100000Z", false},  // end excluded
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarDateTime dt;
        dt.FromText(row.text);
        EXPECT_EQ(row.inside, period.Contains(dt));
    }
}
