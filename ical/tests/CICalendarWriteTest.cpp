#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarVEvent.h"
#include "ical/tests/IcalTestUtil.h"

using iCal::CICalendar;
using namespace icaltest;

TEST(CICalendarWrite, FreshCalendarIsFiveLines)
{
    CICalendar calendar;
    EXPECT_EQ(WriteText(calendar),
              "BEGIN:VCALENDAR\r\n"
              "CALSCALE:GREGORIAN\r\n"
              "PRODID:-//mivo.example//Mivo//EN\r\n"
              "VERSION:2.0\r\n"
              "END:VCALENDAR\r\n");
}

TEST(CICalendarWrite, OrderOfPropertiesAndComponents)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("recurring.ics") + Fixture("basic.ics")));
    const std::string out = WriteText(calendar);
    // Property names in byte order, same names in the order read.
    const std::string event =
        "BEGIN:VEVENT\r\n"
        "DTEND:20130105T100000Z\r\n"
        "DTSTART:20130105T090000Z\r\n"
        "EXDATE:20130119T090000Z\r\n"
        "RRULE:FREQ=WEEKLY;COUNT=5\r\n"
        "SUMMARY:Weekly\r\n"
        "UID:series-1\r\n"
        "END:VEVENT\r\n";
    EXPECT_NE(out.find(event), std::string::npos) << out;
    // Both overriding instances come before every master.
    const std::size_t instance1 = out.find("RECURRENCE-ID:20130112T090000Z");
    const std::size_t instance2 = out.find("RECURRENCE-ID:20130126T090000Z");
    const std::size_t master = out.find("RRULE:FREQ=WEEKLY");
    const std::size_t otherMaster = out.find("UID:basic-1");
    ASSERT_NE(instance2, std::string::npos);
    EXPECT_LT(instance1, instance2);
    EXPECT_LT(instance2, otherMaster);
    EXPECT_LT(otherMaster, master);  // masters by UID: basic-1 < monthly-2 < series-1
    // Calendar level: CALSCALE, PRODID, VERSION among the others, by name.
    EXPECT_EQ(out.find("BEGIN:VCALENDAR\r\nCALSCALE:GREGORIAN\r\nPRODID:-//mivo.example//Mivo//EN\r\n"
                       "VERSION:2.0\r\nX-RIZIDEDI-IDENTITY:abc\r\nX-RIZIDEDI-PRIVATE-METHOD:PUBLISH\r\n"
                       "X-WR-CALDESC:Team calendar\r\nX-WR-CALNAME:仕事\r\n"),
              0u)
        << out;
    // The alarm follows the event's properties.
    EXPECT_NE(out.find("UID:basic-1@example.com\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\n"
                       "TRIGGER;RELATED=END:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n"),
              std::string::npos)
        << out;
}

TEST(CICalendarWrite, PrivateTagsOnlyForTheCache)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("basic.ics")));
    const std::string plain = WriteText(calendar, false);
    EXPECT_EQ(plain.find("X-RIZIDEDI-PRIVATE-RURL"), std::string::npos);
    EXPECT_EQ(plain.find("X-RIZIDEDI-PRIVATE-ETAG"), std::string::npos);
    const std::string cache = WriteText(calendar, true);
    EXPECT_NE(cache.find("UID:basic-1@example.com\r\n"
                         "X-RIZIDEDI-PRIVATE-RURL:https://example.com/cal/basic-1.ics\r\n"
                         "X-RIZIDEDI-PRIVATE-ETAG:\"e1\"\r\n"
                         "BEGIN:VALARM\r\n"),
              std::string::npos)
        << cache;
}

TEST(CICalendarWrite, RemovePropertiesTouchesOnlyTheCalendarLevel)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("basic.ics") +
                                       Crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:x",
                                             "X-RIZIDEDI-PRIVATE-METHOD:inside", "END:VEVENT", "END:VCALENDAR"})));
    calendar.RemoveProperties("X-RIZIDEDI-PRIVATE-METHOD");
    const std::string out = WriteText(calendar);
    EXPECT_EQ(out.find("X-RIZIDEDI-PRIVATE-METHOD:PUBLISH"), std::string::npos);
    EXPECT_NE(out.find("X-RIZIDEDI-PRIVATE-METHOD:inside"), std::string::npos);
}

TEST(CICalendarWrite, FoldedJapaneseDescriptionReadsBackUnchanged)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("basic.ics")));
    std::string before;
    calendar.events.begin()->second->LoadText("DESCRIPTION", before);
    const std::string out = WriteText(calendar);
    // Every physical line is at most 75 bytes and starts on a character.
    std::size_t from = 0;
    for (std::size_t at; (at = out.find("\r\n", from)) != std::string::npos; from = at + 2) {
        EXPECT_LE(at - from, 75u);
        if (at > from) {
            EXPECT_NE(static_cast<unsigned char>(out[from]) & 0xC0, 0x80);
        }
    }
    CICalendar again;
    ASSERT_TRUE(ReadText(again, out));
    std::string after;
    again.events.begin()->second->LoadText("DESCRIPTION", after);
    EXPECT_EQ(after, before);
}

TEST(CICalendarWrite, EveryFixtureRoundTrips)
{
    for (const char* name : {"basic.ics", "recurring.ics", "newyork.ics", "tokyo_user.ics",
                             "todo_journal_freebusy.ics", "unknown_and_malformed.ics", "lf_only.ics"}) {
        SCOPED_TRACE(name);
        CICalendar first;
        ReadText(first, Fixture(name));
        const std::string written = WriteText(first);
        EXPECT_EQ(WriteText(first), written);  // writing twice gives the same text
        CICalendar second;
        EXPECT_TRUE(ReadText(second, written));
        EXPECT_EQ(WriteText(second), written);
    }
}

TEST(CICalendarWrite, WriteSingleHoldsTheSeriesAndItsZone)
{
    CICalendar zones;
    ASSERT_TRUE(ReadText(zones, Fixture("newyork.ics")));
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("recurring.ics") +
                                       Crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:zoned-1",
                                             "DTSTART;TZID=America/New_York:20130105T090000", "END:VEVENT",
                                             "END:VCALENDAR"})));
    std::ostringstream series;
    calendar.WriteSingle(series, *calendar.events.at("u:series-1"));
    const std::string text = series.str();
    EXPECT_EQ(text.find("BEGIN:VCALENDAR\r\nCALSCALE:GREGORIAN\r\n"), 0u);
    EXPECT_EQ(mivo::test::countOccurrences(text, "BEGIN:VEVENT"), 3);  // the master, then its two instances
    EXPECT_LT(text.find("RRULE"), text.find("RECURRENCE-ID"));
    EXPECT_EQ(text.find("monthly-2"), std::string::npos);

    std::ostringstream zoned;
    calendar.WriteSingle(zoned, *calendar.events.at("u:zoned-1"));
    EXPECT_EQ(mivo::test::countOccurrences(zoned.str(), "TZID:America/New_York"), 1);
    EXPECT_LT(zoned.str().find("BEGIN:VTIMEZONE"), zoned.str().find("BEGIN:VEVENT"));
    // The zone was lent for the output only.
    EXPECT_EQ(calendar.timezones.size(), 0u);
}

TEST(CICalendarWrite, AnswersWhetherTheStreamTookTheText)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("basic.ics")));
    std::ostringstream good;
    EXPECT_TRUE(calendar.Write(good, false));
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(calendar.Write(broken, false));
    std::istringstream failed(Fixture("basic.ics"));
    failed.setstate(std::ios::failbit);
    CICalendar unread;
    EXPECT_FALSE(unread.Read(failed));
    EXPECT_TRUE(unread.events.empty());
}

// A property outside the default-type table reads as TEXT unless VALUE says
// otherwise. Writing such a property without its VALUE parameter would make
// its text read back as TEXT, and TEXT escapes would change it.
TEST(CICalendarWrite, AnXPropertyOfAnotherTypeKeepsItsValueParameterAndItsText)
{
    const std::string link = "X-LINK;VALUE=URI:file:\\\\\\\\server\\\\share\\\\a\\b,c";
    const std::string place = "X-PLACE;VALUE=URI;X-TITLE=Office:geo:35.6,139.7";
    const std::string note = "X-NOTE:a\\\\b\\, c";
    CICalendar first;
    ASSERT_TRUE(ReadText(first, Crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VEVENT", "UID:x", link.c_str(),
                                      place.c_str(), note.c_str(), "END:VEVENT", "END:VCALENDAR"})));
    const std::string written = WriteText(first);
    for (const std::string& line : {link, place, note})
        EXPECT_NE(written.find("\r\n" + line + "\r\n"), std::string::npos) << line;
    CICalendar second;
    ASSERT_TRUE(ReadText(second, written));
    EXPECT_EQ(WriteText(second), written);
}
