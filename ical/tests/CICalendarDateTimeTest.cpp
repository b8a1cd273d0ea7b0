#include "ical/CICalendarDateTime.h"

#include <climits>
#include <ctime>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarDefinitions.h"
#include "ical/CICalendarTables.h"

using iCal::CICalendarDateTime;
using iCal::CICalendarDuration;
using iCal::CICalendarTimezone;

namespace {

CICalendarDateTime Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return CICalendarDateTime(y, mo, d, h, mi, s, CICalendarTimezone(true, ""));
}

CICalendarDateTime Floating(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return CICalendarDateTime(y, mo, d, h, mi, s);
}

CICalendarDateTime InZone(const std::string& tzid, int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return CICalendarDateTime(y, mo, d, h, mi, s, CICalendarTimezone(false, tzid));
}

// Fields as "YYYY-MM-DD hh:mm:ss" (ToText hides out-of-range fields).
std::string Fields(const CICalendarDateTime& dt)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", dt.year, dt.month, dt.day, dt.hours,
                  dt.minutes, dt.seconds);
    return buffer;
}

}  // namespace

TEST(CICalendarTables, LeapYearsMonthLengthsAndDaysBefore)
{
    struct Row {
        int year;
        bool leap;
        int februaryLength;
        int daysBeforeMarch;
    };
    const Row rows[] = {
        {1700, true, 29, 60},   // up to 1752 every fourth year
        {1752, true, 29, 60},  {1753, false, 28, 59}, {1800, false, 28, 59}, {1900, false, 28, 59},
        {2000, true, 29, 60},  {2012, true, 29, 60},  {2013, false, 28, 59}, {2100, false, 28, 59},
        {2400, true, 29, 60},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.year);
        EXPECT_EQ(row.leap, iCal::LeapYear(row.year));
        EXPECT_EQ(row.leap ? 366 : 365, iCal::DaysInYear(row.year));
        EXPECT_EQ(row.februaryLength, iCal::MonthLength(2, row.year));
        EXPECT_EQ(row.daysBeforeMarch, iCal::DaysBeforeMonth(3, row.year));
    }
    EXPECT_EQ(31, iCal::MonthLength(1, 2013));
    EXPECT_EQ(30, iCal::MonthLength(4, 2013));
    EXPECT_EQ(0, iCal::DaysBeforeMonth(1, 2012));
    EXPECT_EQ(335, iCal::DaysBeforeMonth(12, 2012));
    EXPECT_EQ(31, iCal::MonthLength(13, 2012));  // January 2013
    EXPECT_EQ(29, iCal::MonthLength(14, 2011));  // February 2012
}

TEST(CICalendarDateTime, Constructors)
{
    const CICalendarDateTime byDefault;
    EXPECT_EQ("1970-01-01 00:00:00", Fields(byDefault));
    EXPECT_FALSE(byDefault.dateOnly);
    EXPECT_TRUE(byDefault.zone.IsFloating());

    const CICalendarDateTime year(2013);
    EXPECT_EQ("2013-01-01 00:00:00", Fields(year));
    EXPECT_TRUE(year.dateOnly);
    EXPECT_TRUE(year.zone.IsFloating());

    const CICalendarDateTime raw(2013, 1, 32, 25, 0, 0, CICalendarTimezone(false, "Asia/Tokyo"));
    EXPECT_EQ("2013-01-32 25:00:00", Fields(raw));  // not carried
    EXPECT_FALSE(raw.dateOnly);
    EXPECT_EQ("Asia/Tokyo", raw.zone.tzid);
}

TEST(CICalendarDateTime, FromTextAndToText)
{
    struct Row {
        const char* text;
        const char* fields;  // expected fields, starting from 1999-09-09 09:09:09
        bool dateOnly;
        bool utc;
        const char* written;
    };
    const Row rows[] = {
        {"20130105", "2013-01-05 09:09:09", true, false, "20130105"},
        {"20130105T0900", "2013-01-05 09:09:09", true, false, "20130105"},  // 13 characters: a DATE
        {"20130105T090000", "2013-01-05 09:00:00", false, false, "20130105T090000"},
        {"20130105T090000Z", "2013-01-05 09:00:00", false, true, "20130105T090000Z"},
        {"20130105X090000Z", "2013-01-05 09:09:09", true, false, "20130105"},  // ninth not "T"
        {"2013010", "1999-09-09 09:09:09", false, false, "19990909T090909"},    // too short: no change
        {"", "1999-09-09 09:09:09", false, false, "19990909T090909"},
        {"2013ab05", "2013-00-05 09:09:09", true, false, "20130005"},  // fields stop at a non-digit
        {"09990101", "0999-01-01 09:09:09", true, false, " 9990101"},  // year right-aligned, space-filled
        {" 9990101", "0999-01-01 09:09:09", true, false, " 9990101"},  // and read back
        {"   50101T120000Z", "0005-01-01 12:00:00", false, true, "   50101T120000Z"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CICalendarDateTime dt(1999, 9, 9, 9, 9, 9);
        dt.EpochSeconds();
        dt.FromText(row.text);
        EXPECT_EQ(row.fields, Fields(dt));
        EXPECT_EQ(row.dateOnly, dt.dateOnly);
        EXPECT_EQ(row.utc, dt.zone.utc);
        EXPECT_EQ(row.written, dt.ToText());
        std::ostringstream stream;
        stream << dt;
        EXPECT_EQ(row.written, stream.str());
    }

    // The TZID is the property's business: FromText keeps it, ToText never writes it.
    CICalendarDateTime zoned = InZone("Asia/Tokyo", 2000, 1, 1);
    zoned.FromText("20130105T090000");
    EXPECT_EQ("Asia/Tokyo", zoned.zone.tzid);
    EXPECT_EQ("20130105T090000", zoned.ToText());
}

TEST(CICalendarDateTime, CarryFields)
{
    struct Row {
        CICalendarDateTime input;
        const char* carried;
    };
    CICalendarDateTime dateWithTime = CICalendarDateTime::Date(2013, 1, 1);
    dateWithTime.hours = 25;  // carries a day, then the time of a DATE is dropped
    dateWithTime.minutes = 7;
    const Row rows[] = {
        {Floating(2013, 1, 32), "2013-02-01 00:00:00"},
        {Floating(2013, 3, 0), "2013-02-28 00:00:00"},
        {Floating(2012, 3, 0), "2012-02-29 00:00:00"},
        {Floating(2012, 13, 5), "2013-01-05 00:00:00"},
        {Floating(2013, 0, 5), "2012-12-05 00:00:00"},
        {Floating(2013, -13, 5), "2011-11-05 00:00:00"},
        {Floating(2013, 1, 1, 0, 0, -1), "2012-12-31 23:59:59"},
        {Floating(2013, 1, 1, 0, -61, 0), "2012-12-31 22:59:00"},
        {Floating(2013, 12, 31, 23, 59, 60), "2014-01-01 00:00:00"},
        {Floating(2013, 1, 1, 0, 0, 86400 * 59), "2013-03-01 00:00:00"},
        {Floating(2100, 2, 29), "2100-03-01 00:00:00"},  // century rule
        {Floating(2000, 2, 29), "2000-02-29 00:00:00"},
        {Floating(1900, 2, 29), "1900-03-01 00:00:00"},
        {Floating(1700, 2, 29), "1700-02-29 00:00:00"},  // old rule
        {Floating(2013, 1, 1000000), "4750-11-28 00:00:00"},
        {Floating(2013, 2, -365), "2012-02-01 00:00:00"},
        {Floating(2013, 1, 1, 0, 0, INT_MAX), "2081-01-19 03:14:07"},
        {Floating(2013, 1, 1, 0, 0, INT_MIN), "1944-12-13 20:45:52"},
        {dateWithTime, "2013-01-02 00:00:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.input));
        CICalendarDateTime dt(row.input);
        dt.CarryFields();
        EXPECT_EQ(row.carried, Fields(dt));
    }
}

TEST(CICalendarDateTime, CarryingExtremeFieldsSaturatesWithoutOverflow)
{
    CICalendarDateTime dt(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    dt.CarryFields();
    EXPECT_GE(dt.month, 1);
    EXPECT_LE(dt.month, 12);
    EXPECT_GE(dt.day, 1);
    EXPECT_LE(dt.day, 31);
    EXPECT_EQ(100000000, dt.year);

    CICalendarDateTime low(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN);
    low.CarryFields();
    EXPECT_EQ(-100000000, low.year);
    EXPECT_GE(low.hours, 0);
}

TEST(CICalendarDateTime, WeekdayAndEpochSecondsOfKnownDates)
{
    struct Row {
        CICalendarDateTime date;
        int weekday;
        long long epoch;
    };
    const Row rows[] = {
        {Utc(1970, 1, 1), 4, 0},
        {Utc(1969, 12, 31, 23, 59, 59), 3, -1},
        {Utc(2013, 1, 1), 2, 1356998400LL},
        {Utc(2013, 1, 7), 1, 1357516800LL},
        {Utc(2038, 1, 19, 3, 14, 8), 2, 2147483648LL},  // past the 32-bit limit
        {Utc(2100, 2, 28), 0, 4107456000LL},
        {Utc(2100, 3, 1), 1, 4107542400LL},             // no 29 February 2100
        {Utc(2400, 2, 29), 2, 13574563200LL},
        {Utc(2000, 2, 29), 2, 951782400LL},
        {Utc(1900, 3, 1), 4, -2203891200LL},
        {Utc(1753, 1, 1), 1, -6847804800LL},
        {Utc(2013, 1, 32), 5, 1359676800LL},            // fields count on: 2013-02-01
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.date));
        EXPECT_EQ(row.weekday, row.date.WeekdayOf());
        EXPECT_EQ(row.epoch, row.date.EpochSeconds());
    }
}

// Weekday, epoch seconds, carrying and the leap-year table must agree day by
// day, across every century boundary from 1600 to 2500.
TEST(CICalendarDateTime, WeekdayEpochAndLeapYearsAgreeDayByDay)
{
    CICalendarDateTime day = Utc(1600, 1, 1);
    int64_t epoch = day.EpochSeconds();
    int weekday = day.WeekdayOf();
    int daysInYear = 0;
    int year = day.year;
    while (day.year < 2500) {
        day.StepBy(iCal::DAILY, 1);
        ++daysInYear;
        if (day.year != year) {
            ASSERT_EQ(iCal::DaysInYear(year), daysInYear) << year;
            year = day.year;
            daysInYear = 0;
        }
        ASSERT_EQ(epoch + 86400, day.EpochSeconds()) << day;
        ASSERT_EQ((weekday + 1) % 7, day.WeekdayOf()) << day;
        ASSERT_LE(day.day, iCal::MonthLength(day.month, day.year)) << day;
        epoch = day.EpochSeconds();
        weekday = day.WeekdayOf();
    }
}

TEST(CICalendarDateTime, CompareDateTime)
{
    struct Row {
        CICalendarDateTime a;
        CICalendarDateTime b;
        int expected;
    };
    const Row rows[] = {
        {CICalendarDateTime::Date(2013, 1, 5), Floating(2013, 1, 5, 9), 0},  // a DATE equals the DATE-TIMEs of its day
        {CICalendarDateTime::Date(2013, 1, 5), Utc(2013, 1, 5, 23, 59, 59), 0},
        {CICalendarDateTime::Date(2013, 1, 4), Utc(2013, 1, 5), -1},
        {Utc(2013, 1, 5, 9), Floating(2013, 1, 5, 9), 0},  // floating compares by fields
        {Utc(2013, 1, 5, 9), Floating(2013, 1, 5, 9, 0, 1), -1},
        {Floating(2013, 2, 1), Floating(2013, 1, 31, 23, 59, 59), 1},
        {Utc(2012, 12, 31, 23), Utc(2013, 1, 1), -1},
        {InZone("Europe/Nowhere", 2013, 1, 5, 9), InZone("Europe/Nowhere", 2013, 1, 5, 9), 0},
        {InZone("Europe/Nowhere", 2013, 1, 5, 9), InZone("Europe/Nowhere", 2013, 1, 5, 10), -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.a) + " vs " + Fields(row.b));
        EXPECT_EQ(row.expected, CICalendarDateTime::CompareDateTime(row.a, row.b));
        EXPECT_EQ(-row.expected, CICalendarDateTime::CompareDateTime(row.b, row.a));
    }
}

// A zone the time-zone database knows: the offsets come from the real
// database, filled by reading a calendar that defines the zone.
class CICalendarDateTimeZoned : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static iCal::CICalendar* calendar = nullptr;
        if (calendar != nullptr) return;
        calendar = new iCal::CICalendar();  // lives for the test program, like the database
        std::istringstream text(
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
            "BEGIN:VTIMEZONE\r\nTZID:Test/Tokyo\r\n"
            "BEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\n"
            "END:STANDARD\r\nEND:VTIMEZONE\r\n"
            "BEGIN:VTIMEZONE\r\nTZID:Test/NewYork\r\n"
            "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
            "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\n"
            "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
            "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
            "END:VCALENDAR\r\n");
        ASSERT_TRUE(calendar->Read(text));
    }
};

TEST_F(CICalendarDateTimeZoned, ZonedTimesCompareByTheInstantTheyName)
{
    struct Row {
        CICalendarDateTime a;
        CICalendarDateTime b;
        int expected;
    };
    const Row rows[] = {
        {InZone("Test/Tokyo", 2013, 1, 5, 18), Utc(2013, 1, 5, 9), 0},
        {InZone("Test/Tokyo", 2013, 1, 5, 9), Utc(2013, 1, 5, 9), -1},
        {InZone("Test/Tokyo", 2013, 1, 5, 23), InZone("Test/NewYork", 2013, 1, 5, 9), 0},  // 14:00Z both
        {InZone("Test/NewYork", 2013, 7, 15, 12), Utc(2013, 7, 15, 16), 0},                // daylight -4
        {InZone("Test/NewYork", 2013, 1, 15, 12), Utc(2013, 1, 15, 17), 0},                // standard -5
        {InZone("Test/Unknown", 2013, 1, 5, 9), Utc(2013, 1, 5, 9), 0},                    // unknown: offset 0
        {InZone("Test/Tokyo", 2013, 1, 5, 9), Floating(2013, 1, 5, 9), 0},                 // floating: fields
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.a) + " " + row.a.zone.tzid + " vs " + Fields(row.b) + " " + row.b.zone.tzid);
        EXPECT_EQ(row.expected, CICalendarDateTime::CompareDateTime(row.a, row.b));
        EXPECT_EQ(-row.expected, CICalendarDateTime::CompareDateTime(row.b, row.a));
    }
    EXPECT_EQ(1357344000LL, InZone("Test/Tokyo", 2013, 1, 5, 9).EpochSeconds());
    EXPECT_EQ("PT9H", Utc(2013, 1, 5, 9).DifferenceFrom(InZone("Test/Tokyo", 2013, 1, 5, 9)).ToText());
    // A floating operand is read in the other one's zone.
    EXPECT_EQ("P", Floating(2013, 1, 5, 9).DifferenceFrom(InZone("Test/Tokyo", 2013, 1, 5, 9)).ToText());
}

TEST_F(CICalendarDateTimeZoned, EveryFieldOrZoneChangeClearsTheEpochCache)
{
    using Change = std::function<void(CICalendarDateTime&)>;
    const std::vector<std::pair<const char*, Change>> changes = {
        {"CarryFields", [](CICalendarDateTime& dt) { dt.CarryFields(); }},
        {"StepBy", [](CICalendarDateTime& dt) { dt.StepBy(iCal::HOURLY, 1); }},
        {"MoveToYearDay", [](CICalendarDateTime& dt) { dt.MoveToYearDay(2); }},
        {"MoveToWeekdayInMonth", [](CICalendarDateTime& dt) { dt.MoveToWeekdayInMonth(1, iCal::MONDAY); }},
        {"MoveToWeekdayInYear", [](CICalendarDateTime& dt) { dt.MoveToWeekdayInYear(1, iCal::MONDAY); }},
        {"MoveToWeekOfYear", [](CICalendarDateTime& dt) { dt.MoveToWeekOfYear(2, iCal::MONDAY); }},
        {"FromText", [](CICalendarDateTime& dt) { dt.FromText("20130105T100000"); }},
        {"SetTzid", [](CICalendarDateTime& dt) { dt.SetTzid("Test/NewYork"); }},
        {"SetUtc", [](CICalendarDateTime& dt) { dt.SetUtc(true); }},
        {"SetZone", [](CICalendarDateTime& dt) { dt.SetZone(CICalendarTimezone()); }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.first);
        CICalendarDateTime dt = InZone("Test/Tokyo", 2013, 1, 5, 9);
        dt.EpochSeconds();
        EXPECT_TRUE(dt.epochCached);
        change.second(dt);
        EXPECT_FALSE(dt.epochCached);
        CICalendarDateTime fresh(dt);
        fresh.epochCached = false;
        EXPECT_EQ(fresh.EpochSeconds(), dt.EpochSeconds());
    }

    // A copy carries the cache; a floating value is never served from it.
    CICalendarDateTime zoned = InZone("Test/Tokyo", 2013, 1, 5, 9);
    zoned.EpochSeconds();
    const CICalendarDateTime copy(zoned);
    EXPECT_TRUE(copy.epochCached);
    EXPECT_EQ(zoned.epochValue, copy.epochValue);
    CICalendarDateTime floating = Floating(2013, 1, 5, 9);
    floating.EpochSeconds();
    floating.hours = 10;  // direct assignment; floating values recompute anyway
    EXPECT_EQ(1357380000LL, floating.EpochSeconds());
}

TEST(CICalendarDateTime, AddDurationAndDifferenceFrom)
{
    struct Row {
        CICalendarDateTime start;
        const char* duration;
        const char* result;
    };
    const Row rows[] = {
        {Floating(2013, 1, 31, 10), "P1D", "20130201T100000"},
        {Floating(2013, 1, 1, 0, 10), "-PT15M", "20121231T235500"},
        {Floating(2012, 2, 28, 12), "P1W", "20120306T120000"},
        {Floating(2013, 2, 28, 12), "P1DT12H", "20130302T000000"},
        {Utc(2013, 1, 5, 9), "PT1H", "20130105T100000Z"},
        {CICalendarDateTime::Date(2013, 1, 31), "P1D", "20130201"},
        {Floating(2013, 1, 5, 9), "P", "20130105T090000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.start.ToText() + " + " + row.duration);
        CICalendarDuration duration;
        duration.FromText(row.duration);
        const CICalendarDateTime result = row.start.AddDuration(duration);
        EXPECT_EQ(row.result, result.ToText());
        // Back again: result minus start is the duration (as seconds).
        EXPECT_EQ(duration.TotalSeconds(), result.DifferenceFrom(row.start).TotalSeconds());
    }

    CICalendarDuration huge;
    huge.weeks = INT_MAX;
    const CICalendarDateTime far = Floating(2013, 1, 1).AddDuration(huge);
    EXPECT_GT(far.year, 40000000);  // no overflow, still a valid date
    EXPECT_LE(far.day, iCal::MonthLength(far.month, far.year));
}

TEST(CICalendarDateTime, StepBy)
{
    struct Row {
        CICalendarDateTime start;
        int unit;
        int amount;
        const char* result;
    };
    const Row rows[] = {
        {Floating(2013, 1, 31), iCal::MONTHLY, 1, "2013-03-31 00:00:00"},  // February lacks the 31st
        {Floating(2013, 1, 30), iCal::MONTHLY, 1, "2013-03-30 00:00:00"},
        {Floating(2013, 1, 28), iCal::MONTHLY, 1, "2013-02-28 00:00:00"},
        {Floating(2013, 3, 31), iCal::MONTHLY, 1, "2013-05-31 00:00:00"},
        {Floating(2013, 3, 31), iCal::MONTHLY, -1, "2013-01-31 00:00:00"},
        {Floating(2013, 11, 30), iCal::MONTHLY, 3, "2014-05-30 00:00:00"},  // February lacks the 30th: once more
        {Floating(2013, 11, 15), iCal::MONTHLY, 14, "2015-01-15 00:00:00"},
        {Floating(2012, 2, 29), iCal::YEARLY, 1, "2013-03-01 00:00:00"},
        {Floating(2012, 2, 29), iCal::YEARLY, 4, "2016-02-29 00:00:00"},
        {Floating(2013, 12, 31), iCal::DAILY, 1, "2014-01-01 00:00:00"},
        {Floating(2013, 12, 31), iCal::WEEKLY, 2, "2014-01-14 00:00:00"},
        {Floating(2013, 1, 1, 23), iCal::HOURLY, 2, "2013-01-02 01:00:00"},
        {Floating(2013, 1, 1), iCal::MINUTELY, -1, "2012-12-31 23:59:00"},
        {Floating(2013, 1, 1), iCal::SECONDLY, 90, "2013-01-01 00:01:30"},
        {Floating(2013, 1, 1), 99, 5, "2013-01-01 00:00:00"},                // unknown unit
        {Floating(2013, 4, 99), iCal::MONTHLY, 1, "2017-07-08 00:00:00"},   // no month has day 99: ends
        {Floating(2013, 1, 1), iCal::YEARLY, INT_MAX, "100000000-01-01 00:00:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.start) + " unit " + std::to_string(row.unit) + " by " + std::to_string(row.amount));
        CICalendarDateTime dt(row.start);
        dt.StepBy(row.unit, row.amount);
        EXPECT_EQ(row.result, Fields(dt));
    }
}

TEST(CICalendarDateTime, MoveToYearDay)
{
    struct Row {
        int year;
        int n;
        const char* result;
    };
    const Row rows[] = {
        {2013, 1, "2013-01-01"},   {2012, 60, "2012-02-29"}, {2013, 60, "2013-03-01"}, {2013, -1, "2013-12-31"},
        {2012, -366, "2012-01-01"}, {2013, 365, "2013-12-31"}, {2013, 366, "2014-01-01"},  // spills
        {2013, 0, "2013-06-15"},  // no change
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.year) + " day " + std::to_string(row.n));
        CICalendarDateTime dt = Floating(row.year, 6, 15, 8, 30);
        dt.MoveToYearDay(row.n);
        EXPECT_EQ(std::string(row.result) + " 08:30:00", Fields(dt));
    }
}

TEST(CICalendarDateTime, MoveToWeekdayInMonthAndYear)
{
    struct Row {
        int year;
        int month;
        int n;
        int weekday;
        bool inYear;
        const char* result;
    };
    const Row rows[] = {
        {2013, 10, -1, iCal::SUNDAY, false, "2013-10-27"},  // last Sunday of October
        {2013, 3, 2, iCal::SUNDAY, false, "2013-03-10"},    // second Sunday of March
        {2013, 11, 4, iCal::THURSDAY, false, "2013-11-28"},
        {2013, 2, -1, iCal::FRIDAY, false, "2013-02-22"},
        {2013, 9, 1, iCal::SUNDAY, false, "2013-09-01"},    // the 1st itself
        {2013, 2, 5, iCal::MONDAY, false, "2013-03-04"},    // beyond the month: spills
        {2013, 2, 0, iCal::MONDAY, false, "2013-02-01"},
        {2013, 6, 1, iCal::MONDAY, true, "2013-01-07"},
        {2013, 6, -1, iCal::SUNDAY, true, "2013-12-29"},
        {2013, 6, 20, iCal::MONDAY, true, "2013-05-20"},
        {2013, 6, 53, iCal::MONDAY, true, "2014-01-06"},    // spills into the next year
        {2012, 6, -1, iCal::MONDAY, true, "2012-12-31"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.year) + "-" + std::to_string(row.month) + " n " + std::to_string(row.n) +
                     " weekday " + std::to_string(row.weekday) + (row.inYear ? " in year" : " in month"));
        CICalendarDateTime dt = Floating(row.year, row.month, 15, 9);
        if (row.inYear) {
            dt.MoveToWeekdayInYear(row.n, row.weekday);
        } else {
            dt.MoveToWeekdayInMonth(row.n, row.weekday);
        }
        EXPECT_EQ(std::string(row.result) + " 09:00:00", Fields(dt));
    }
}

TEST(CICalendarDateTime, MatchesWeekdayInMonth)
{
    struct Row {
        CICalendarDateTime date;
        int weekday;
        int n;
        bool matches;
    };
    const Row rows[] = {
        {Floating(2013, 11, 28), iCal::THURSDAY, 4, true},   // 4th Thursday
        {Floating(2013, 11, 28), iCal::THURSDAY, -1, true},  // and the last
        {Floating(2013, 11, 28), iCal::THURSDAY, 0, true},
        {Floating(2013, 11, 21), iCal::THURSDAY, 4, false},
        {Floating(2013, 11, 21), iCal::THURSDAY, -2, true},
        {Floating(2013, 11, 28), iCal::FRIDAY, 0, false},    // wrong weekday
        {Floating(2013, 11, 28), iCal::THURSDAY, 5, false},  // no 5th Thursday
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.date) + " weekday " + std::to_string(row.weekday) + " n " + std::to_string(row.n));
        EXPECT_EQ(row.matches, row.date.MatchesWeekdayInMonth(row.weekday, row.n));
    }
}

TEST(CICalendarDateTime, WeekOfYearFollowsIso8601WithTheWeekStart)
{
    struct Row {
        CICalendarDateTime date;
        int weekStart;
        int week;
        int weekYear;
    };
    const Row rows[] = {
        {Floating(2013, 1, 1), iCal::MONDAY, 1, 2013},
        {Floating(2012, 12, 31), iCal::MONDAY, 1, 2013},  // December day in next year's week 1
        {Floating(2010, 1, 3), iCal::MONDAY, 53, 2009},   // January day in last year's week 53
        {Floating(2015, 12, 31), iCal::MONDAY, 53, 2015},
        {Floating(2013, 5, 20), iCal::MONDAY, 21, 2013},
        {Floating(2013, 1, 6), iCal::MONDAY, 1, 2013},
        {Floating(2013, 1, 6), iCal::SUNDAY, 2, 2013},    // a Sunday opens the week
        {Floating(2012, 12, 30), iCal::SUNDAY, 1, 2013},
        {Floating(2012, 12, 29), iCal::SUNDAY, 52, 2012},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Fields(row.date) + " weekStart " + std::to_string(row.weekStart));
        int32_t weekYear = 0;
        EXPECT_EQ(row.week, row.date.WeekOfYear(row.weekStart, &weekYear));
        EXPECT_EQ(row.weekYear, weekYear);
    }
    EXPECT_EQ(53, CICalendarDateTime::WeeksInYear(2015, iCal::MONDAY));
    EXPECT_EQ(52, CICalendarDateTime::WeeksInYear(2013, iCal::MONDAY));
    EXPECT_EQ(53, CICalendarDateTime::WeeksInYear(2009, iCal::MONDAY));

    CICalendarDateTime beyond = Floating(2013, 6, 1);
    EXPECT_FALSE(beyond.MoveToWeekOfYear(53, iCal::MONDAY));  // 2013 has 52 weeks
    EXPECT_FALSE(beyond.MoveToWeekOfYear(0, iCal::MONDAY));
    EXPECT_EQ("2013-06-01 00:00:00", Fields(beyond));
    CICalendarDateTime last = Floating(2015, 6, 1);  // a Monday
    ASSERT_TRUE(last.MoveToWeekOfYear(-1, iCal::MONDAY));
    EXPECT_EQ("2015-12-28 00:00:00", Fields(last));
}

// The expand step (MoveToWeekOfYear) and the limit step (WeekOfYear) of
// BYWEEKNO must number weeks the same way, for every week start.
TEST(CICalendarDateTime, MoveToWeekOfYearAndWeekOfYearAgree)
{
    for (int weekStart = 0; weekStart < 7; ++weekStart) {
        CICalendarDateTime day = Floating(1999, 12, 20);
        while (day.year < 2031) {
            int32_t weekYear = 0;
            const int32_t week = day.WeekOfYear(weekStart, &weekYear);
            ASSERT_GE(week, 1);
            ASSERT_LE(week, CICalendarDateTime::WeeksInYear(weekYear, weekStart));
            CICalendarDateTime moved(day);
            moved.year = weekYear;  // any date of the week's year serves as the start
            moved.month = 6;
            moved.day = 1;
            const int32_t weekday = day.WeekdayOf();
            moved.MoveToWeekdayInMonth(1, weekday);
            ASSERT_TRUE(moved.MoveToWeekOfYear(week, weekStart));
            ASSERT_EQ(Fields(day), Fields(moved)) << "weekStart " << weekStart;
            day.StepBy(iCal::DAILY, 1);
        }
    }
}

TEST(CICalendarDateTime, CurrentUtcIsTheSystemClockInUtc)
{
    const int64_t before = static_cast<int64_t>(std::time(nullptr));
    const CICalendarDateTime now = CICalendarDateTime::CurrentUtc();
    const int64_t after = static_cast<int64_t>(std::time(nullptr));
    EXPECT_TRUE(now.zone.utc);
    EXPECT_FALSE(now.dateOnly);
    EXPECT_GE(now.EpochSeconds(), before);
    EXPECT_LE(now.EpochSeconds(), after);
}
