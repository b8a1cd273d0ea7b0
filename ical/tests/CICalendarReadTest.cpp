#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarVAlarm.h"
#include "ical/CICalendarVEvent.h"
#include "ical/tests/IcalTestUtil.h"

using iCal::CICalendar;
using namespace icaltest;

namespace {

std::string PropertyText(const iCal::CICalendarComponentBase& object, const std::string& name)
{
    std::string text;
    object.LoadText(name, text);
    return text;
}

}  // namespace

TEST(CICalendarRead, ResultForEveryRejectionCase)
{
    struct Case {
        const char* name;
        std::string text;
        bool result;
    } cases[] = {
        {"empty text", "", false},
        {"no BEGIN:VCALENDAR", Crlf({"VERSION:2.0", "END:VCALENDAR"}), false},
        {"lower-case begin", Crlf({"begin:vcalendar", "END:VCALENDAR"}), false},
        {"only the begin line", "BEGIN:VCALENDAR\r\n", true},
        {"begin line cut off", "BEGIN:VCALENDAR", false},
        {"version 1.0", Crlf({"BEGIN:VCALENDAR", "VERSION:1.0", "END:VCALENDAR"}), false},
        {"version with a parameter", Crlf({"BEGIN:VCALENDAR", "VERSION;X=1:2.0", "END:VCALENDAR"}), true},
        {"version as URI", Crlf({"BEGIN:VCALENDAR", "VERSION;VALUE=URI:2.0", "END:VCALENDAR"}), true},
        {"version as integer", Crlf({"BEGIN:VCALENDAR", "VERSION;VALUE=INTEGER:2", "END:VCALENDAR"}), false},
        {"other calendar scale", Crlf({"BEGIN:VCALENDAR", "CALSCALE:JULIAN", "END:VCALENDAR"}), false},
        {"version in an event", Crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "VERSION:1.0", "END:VEVENT", "END:VCALENDAR"}), true},
        {"LF line ends", "BEGIN:VCALENDAR\nVERSION:2.0\nEND:VCALENDAR\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CICalendar calendar;
        EXPECT_EQ(ReadText(calendar, c.text), c.result);
    }
}

TEST(CICalendarRead, RejectedVersionKeepsWhatCameBefore)
{
    CICalendar calendar;
    EXPECT_FALSE(ReadText(calendar, Crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:kept", "END:VEVENT", "X-A:1",
                                          "VERSION:1.0", "X-B:2", "BEGIN:VEVENT", "UID:dropped", "END:VEVENT",
                                          "END:VCALENDAR"})));
    EXPECT_EQ(calendar.events.size(), 1u);
    EXPECT_TRUE(calendar.HasProperty("X-A"));
    EXPECT_FALSE(calendar.HasProperty("X-B"));
}

TEST(CICalendarRead, CalendarLevelPropertiesAndUnknownComponents)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("unknown_and_malformed.ics")));
    // PRODID, VERSION and CALSCALE are the calendar's own.
    EXPECT_EQ(PropertyText(calendar, "PRODID"), "-//mivo.example//Mivo//EN");
    EXPECT_EQ(calendar.properties.count("PRODID"), 1u);
    EXPECT_EQ(calendar.properties.count("VERSION"), 1u);
    // The unknown component became three calendar-level properties.
    EXPECT_EQ(PropertyText(calendar, "BEGIN"), "X-CUSTOM");
    EXPECT_EQ(PropertyText(calendar, "X-A"), "1");
    EXPECT_EQ(PropertyText(calendar, "END"), "X-CUSTOM");
    // Malformed lines are dropped; the multi-valued parameter is kept whole.
    for (const char* dropped : {"NO COLON HERE", "X-BAD", "X-EMPTY", "X-UNTERMINATED", "X-QUOTE-THEN-TEXT"}) {
        SCOPED_TRACE(dropped);
        EXPECT_FALSE(calendar.HasProperty(dropped));
    }
    ASSERT_TRUE(calendar.HasProperty("X-MEMBER"));
    EXPECT_EQ(calendar.FindProperty("X-MEMBER")->FindAttribute("MEMBER")->values.size(), 2u);

    // The event took the nested VEVENT lines and the VERSION as properties.
    ASSERT_EQ(calendar.events.count("u:odd-1"), 1u);
    const auto& event = static_cast<const iCal::CICalendarVEvent&>(*calendar.events.at("u:odd-1"));
    EXPECT_EQ(PropertyText(event, "VERSION"), "2.0");
    EXPECT_EQ(PropertyText(event, "BEGIN"), "VEVENT");
    EXPECT_EQ(PropertyText(event, "X-INNER"), "yes");
    // DTSTART;VALUE=TEXT holds a text, so there is no start.
    EXPECT_FALSE(event.hasStart);
    // The END:VEVENT of the inner lines closed the outer event, so the
    // following VTIMEZONE is a component of its own.
    EXPECT_EQ(calendar.timezones.count("Nowhere"), 1u);
    // The event whose VALARM never ended is lost with its alarm.
    EXPECT_EQ(calendar.events.count("u:odd-2"), 0u);
}

TEST(CICalendarRead, NestingRules)
{
    CICalendar calendar;
    ASSERT_TRUE(ReadText(calendar, Fixture("todo_journal_freebusy.ics")));
    // A VALARM inside a VTODO is kept, inside a VJOURNAL refused.
    ASSERT_EQ(calendar.todos.count("u:todo-1"), 1u);
    EXPECT_EQ(calendar.todos.at("u:todo-1")->embedded.size(), 1u);
    EXPECT_EQ(calendar.todos.at("u:todo-1")->embedded[0]->embedder, calendar.todos.at("u:todo-1").get());
    ASSERT_EQ(calendar.journals.count("u:journal-1"), 1u);
    EXPECT_TRUE(calendar.journals.at("u:journal-1")->embedded.empty());
    // A VFREEBUSY without UID is refused.
    EXPECT_EQ(calendar.freeBusys.size(), 1u);
    EXPECT_EQ(calendar.freeBusys.count("fb-1"), 1u);
}

TEST(CICalendarRead, NameAndDescriptionNeedTheEndLine)
{
    CICalendar complete;
    ASSERT_TRUE(ReadText(complete, Fixture("basic.ics")));
    EXPECT_EQ(complete.name, "仕事");
    EXPECT_EQ(complete.description, "Team calendar");

    std::string cut = Fixture("basic.ics");
    cut.resize(cut.size() - 2);  // "END:VCALENDAR" without its line break
    CICalendar partial;
    EXPECT_TRUE(ReadText(partial, cut));
    EXPECT_EQ(partial.events.size(), 1u);
    EXPECT_EQ(partial.name, "");
    EXPECT_EQ(partial.description, "");
}

TEST(CICalendarRead, LfAndCrLfGiveTheSameCalendar)
{
    std::string crlf = Fixture("lf_only.ics");
    std::string converted;
    for (char c : crlf) {
        if (c == '\n')
            converted += '\r';
        converted += c;
    }
    CICalendar a, b;
    ASSERT_TRUE(ReadText(a, crlf));
    ASSERT_TRUE(ReadText(b, converted));
    EXPECT_EQ(WriteText(a), WriteText(b));
    const auto& event = *a.events.at("u:lf-1");
    EXPECT_EQ(PropertyText(event, "SUMMARY"),
              "A summary that is long enough to have been folded by the programthat wrote it, continued with a tab");
    EXPECT_EQ(PropertyText(event, "DESCRIPTION"), "two  spaces: kept one");
}

TEST(CICalendarRead, SeveralCalendarsInOneTextGoIntoOne)
{
    CICalendar calendar;
    EXPECT_TRUE(ReadText(calendar, Crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:a", "END:VEVENT", "END:VCALENDAR",
                                         "X-BETWEEN:ignored", "BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:b",
                                         "END:VEVENT", "END:VCALENDAR"})));
    EXPECT_EQ(calendar.events.size(), 2u);
    EXPECT_FALSE(calendar.HasProperty("X-BETWEEN"));
}

// The reader hands a component its lines at once and they are ordered then:
// by name, and repeats of one name in reading order. Both sizes matter, as a
// short list and a long one are sorted by different means.
TEST(CICalendarRead, ComponentLinesComeOutInNameOrderWithRepeatsInReadingOrder)
{
    for (int names : {5, 40}) {
        SCOPED_TRACE(names);
        auto name = [](int k) {
            char text[16];
            std::snprintf(text, sizeof text, "X-P%02d", k);
            return std::string(text);
        };
        std::string body = "BEGIN:VEVENT\r\nUID:order\r\n";
        for (const char* pass : {"a", "b"})
            for (int k = names - 1; k >= 0; --k)
                body += name(k) + ":" + pass + "\r\n";
        body += "END:VEVENT\r\n";
        std::string expected = "BEGIN:VEVENT\r\nUID:order\r\n";
        for (int k = 0; k < names; ++k)
            expected += name(k) + ":a\r\n" + name(k) + ":b\r\n";
        expected += "END:VEVENT\r\n";

        CICalendar calendar;
        ASSERT_TRUE(ReadText(calendar, Calendar(body)));
        EXPECT_NE(WriteText(calendar).find(expected), std::string::npos) << WriteText(calendar);
    }
}
