#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarVTimezone.h"
#include "ical/CICalendarVTimezoneElement.h"
#include "ical/CICalendarVEvent.h"
#include "ical/tests/IcalTestUtil.h"

using iCal::CICalendar;
using iCal::CICalendarDateTime;
using namespace icaltest;

namespace {

CICalendarDateTime Local(const char* text)
{
    CICalendarDateTime dt;
    dt.FromText(text);
    return dt;
}

}  // namespace

TEST(CICalendarTimezone, TimezoneDatabaseIsReferenceOne)
{
    CICalendar calendar;
    EXPECT_EQ(CICalendar::TimezoneDatabase().calendarRef, 1);
    EXPECT_GT(calendar.calendarRef, 1);
    EXPECT_EQ(CICalendar::FindCalendar(calendar.calendarRef), &calendar);
    const int32_t ref = calendar.calendarRef;
    {
        CICalendar next;
        EXPECT_EQ(next.calendarRef, ref + 1);
    }
    EXPECT_EQ(CICalendar::FindCalendar(ref + 1), nullptr);
}

TEST(CICalendarTimezone, NewYorkLikeZoneOffsets)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("newyork.ics")));
    auto& zone = static_cast<iCal::CICalendarVTimezone&>(*calendar.timezones.at("America/New_York"));
    struct Case {
        const char* local;
        int32_t offset;
        const char* element;  // "STANDARD", "DAYLIGHT" or "" for none
    } cases[] = {
        {"20130715T120000", -14400, "DAYLIGHT"},
        {"20130115T120000", -18000, "STANDARD"},
        {"20130310T020000", -18000, "STANDARD"},  // the onset itself is not yet in force
        {"20130310T020001", -14400, "DAYLIGHT"},
        {"20130310T023000", -14400, "DAYLIGHT"},  // skipped hour
        {"20131103T013000", -14400, "DAYLIGHT"},  // repeated hour
        {"20131103T023000", -18000, "STANDARD"},
        {"19700601T000000", -14400, "DAYLIGHT"},  // STANDARD not started yet
        {"19700101T000000", 0, ""},               // before both
        {"21000315T120000", -14400, "DAYLIGHT"},
        {"19991231T235959", -18000, "STANDARD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.local);
        const auto* element = zone.FindElement(Local(c.local));
        EXPECT_EQ(element ? element->BeginLine() : std::string("BEGIN:"), std::string("BEGIN:") + c.element);
        EXPECT_EQ(CICalendar::ZoneOffset("America/New_York", Local(c.local)), c.offset);
        // The zone of the asked time does not matter.
        CICalendarDateTime zoned = Local(c.local);
        zoned.SetTzid("America/New_York");
        EXPECT_EQ(zone.OffsetAt(zoned), c.offset);
    }
    EXPECT_EQ(CICalendar::ZoneOffset("No/Such_Zone", Local("20130715T120000")), 0);
}

TEST(CICalendarTimezone, OnsetListGrowsOnlyOnce)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("newyork.ics")));
    auto& zone = static_cast<iCal::CICalendarVTimezone&>(*calendar.timezones.at("America/New_York"));
    auto& first = static_cast<iCal::CICalendarVTimezoneElement&>(*zone.embedded[0]);
    zone.FindElement(Local("20130715T120000"));
    EXPECT_EQ(first.onsetsEnd.ToText(), "20140101T000000");
    const std::size_t onsets = first.onsets.size();
    EXPECT_EQ(onsets, 2014u - 1970u);
    zone.FindElement(Local("19990715T120000"));
    EXPECT_EQ(first.onsetsEnd.ToText(), "20140101T000000");
    EXPECT_EQ(first.onsets.size(), onsets);
    // A copy starts without onsets.
    auto copy = first.Clone();
    EXPECT_TRUE(static_cast<iCal::CICalendarVTimezoneElement&>(*copy).onsets.empty());
}

TEST(CICalendarTimezone, SingleStandardAndRunawayRules)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar,
                         Calendar("BEGIN:VTIMEZONE\r\nTZID:Fixed\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                                  "TZOFFSETTO:+0900\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
                                  "BEGIN:VTIMEZONE\r\nTZID:Runaway\r\nBEGIN:STANDARD\r\n"
                                  "DTSTART;TZID=Runaway:19700101T000000\r\nRRULE:FREQ=SECONDLY\r\n"
                                  "RDATE;TZID=Runaway:19800101T000000,19900101T000000Z\r\n"
                                  "TZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n")));
    EXPECT_EQ(CICalendar::ZoneOffset("Fixed", Local("20500101T000000")), 32400);
    // A rule that would produce billions of onsets stops at the expansion
    // limit instead of stalling, and a zone naming itself does not recurse.
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(CICalendar::ZoneOffset("Runaway", Local("20300101T000000")), 3600);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    auto& zone = static_cast<iCal::CICalendarVTimezone&>(*CICalendar::TimezoneDatabase().timezones.at("Runaway"));
    auto& element = static_cast<iCal::CICalendarVTimezoneElement&>(*zone.embedded.at(0));
    EXPECT_EQ(element.onsets.size(), iCal::CICalendarVTimezoneElement::MAX_ONSETS);
    EXPECT_EQ(element.onsetsEnd.year, 9999);  // not expanded again for later years
    EXPECT_TRUE(element.recurrences.rrules.at(0).cacheItems.empty());
}

TEST(CICalendarTimezone, ZonesArePublishedAndLentAcrossCalendars)
{
    const std::string tokyo1 = Calendar("BEGIN:VTIMEZONE\r\nTZID:Asia/Tokyo\r\nBEGIN:STANDARD\r\n"
                                        "DTSTART:19700101T000000\r\nTZOFFSETTO:+0900\r\nTZNAME:JST\r\n"
                                        "END:STANDARD\r\nEND:VTIMEZONE\r\n");
    const std::string tokyo2 = Calendar("BEGIN:VTIMEZONE\r\nTZID:Asia/Tokyo\r\nBEGIN:STANDARD\r\n"
                                        "DTSTART:19700101T000000\r\nTZOFFSETTO:+1000\r\nTZNAME:OTHER\r\n"
                                        "END:STANDARD\r\nEND:VTIMEZONE\r\n");
    CICalendar::TimezoneDatabase().timezones.RemoveAllComponents();
    {
        CICalendar a;
        ASSERT_TRUE(ReadText(a, tokyo1));
    }
    CICalendar later;
    ASSERT_TRUE(ReadText(later, tokyo2));  // a second definition is not taken
    CICalendar b;
    ASSERT_TRUE(ReadText(b, Fixture("tokyo_user.ics")));
    EXPECT_TRUE(b.timezones.empty());
    const std::string out = WriteText(b);
    EXPECT_NE(out.find("TZNAME:JST"), std::string::npos);
    EXPECT_EQ(out.find("TZNAME:OTHER"), std::string::npos);
    EXPECT_LT(out.find("BEGIN:VTIMEZONE"), out.find("BEGIN:VEVENT"));
    // The copy stays in the calendar; writing again gives the same text.
    EXPECT_EQ(b.timezones.size(), 1u);
    EXPECT_EQ(WriteText(b), out);
    EXPECT_EQ(CICalendar::ZoneOffset("Asia/Tokyo", Local("20130105T090000")), 32400);
    // A date-time in that zone now converts with the published offset.
    CICalendarDateTime nine(2013, 1, 5, 9, 0, 0, iCal::CICalendarTimezone(false, "Asia/Tokyo"));
    EXPECT_EQ(nine.EpochSeconds(), CICalendarDateTime(2013, 1, 5, 0, 0, 0, iCal::CICalendarTimezone(true, "")).EpochSeconds());
    CICalendar::TimezoneDatabase().timezones.RemoveAllComponents();
}

TEST(CICalendarTimezone, VTimezoneNestsOnlyItsElements)
{
    iCal::CICalendarVTimezone zone(1);
    std::unique_ptr<iCal::CICalendarComponent> event = iCal::CICalendarVEvent::Create(1);
    EXPECT_FALSE(zone.AddComponent(event));
    EXPECT_NE(event, nullptr);
    std::unique_ptr<iCal::CICalendarComponent> standard = iCal::CICalendarVTimezoneStandard::Create(1);
    EXPECT_TRUE(zone.AddComponent(standard));
    EXPECT_EQ(standard, nullptr);
    EXPECT_EQ(zone.embedded.size(), 1u);
    EXPECT_EQ(zone.embedded[0]->embedder, &zone);
}
