#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ical/CICalendarAttribute.h"
#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarProperty.h"
#include "ical/CICalendarValue.h"

using iCal::CICalendarAttribute;
using iCal::CICalendarProperty;

namespace {

// "name|param=v1,v2|param2=v|:value" summary of a property read from a line.
std::string Describe(const CICalendarProperty& p)
{
    std::string out = p.name;
    for (const auto& a : p.attributes) {
        out += "|" + a.name + "=";
        for (std::size_t i = 0; i < a.values.size(); ++i)
            out += (i ? "," : "") + a.values[i];
    }
    out += "|:";
    if (p.value)
        out += p.value->Text();
    return out;
}

}  // namespace

TEST(CICalendarProperty, ReadLineAcceptsAndRejects)
{
    struct Case {
        const char* line;
        bool ok;
        const char* described;
    } cases[] = {
        {"ATTENDEE;ROLE=CHAIR;CN=\"Doe, J\":mailto:j@example.com", true,
         "ATTENDEE|CN=Doe, J|ROLE=CHAIR|:mailto:j@example.com"},
        {"X-A:value: with; all, of them", true, "X-A|:value: with\\; all\\, of them"},
        {"X-A;MEMBER=\"mailto:a@x\",\"mailto:b@x\":v", true, "X-A|MEMBER=mailto:a@x,mailto:b@x|:v"},
        {"  X-LEAD:v", true, "X-LEAD|:v"},
        {"X-TRAIL ;P=1:v", true, "X-TRAIL |P=1|:v"},
        {"X-A;P=1;P=2:v", true, "X-A|P=1|P=2|:v"},
        {"X-EMPTY:", true, "X-EMPTY|:"},
        {"NO COLON", false, ""},
        {"X-A;P:v", false, ""},                 // parameter without "="
        {"X-A;P=:v", false, ""},                // empty value
        {"X-A;P=\"\":v", false, ""},            // empty quoted value
        {"X-A;P=\"open:v", false, ""},          // unterminated quote
        {"X-A;P=\"abc\"def:v", false, ""},      // quote followed directly by text
        {"\"X-Q\"rest:v", false, ""},
        {"X-A;P=1,:v", false, ""},              // empty further value
        {"X-A;", false, ""},
        {":v", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        CICalendarProperty p;
        ASSERT_EQ(p.ReadLine(c.line), c.ok);
        if (c.ok) {
            EXPECT_EQ(Describe(p), c.described);
        }
    }
}

TEST(CICalendarProperty, WriteLineQuotesParametersOnlyWhereNeeded)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"ATTENDEE;ROLE=CHAIR;CN=\"Doe, J\":mailto:j@example.com",
         "ATTENDEE;CN=\"Doe, J\";ROLE=CHAIR:mailto:j@example.com\r\n"},
        {"X-A;P=\"a:b\";Q=\"c;d\":v", "X-A;P=\"a:b\";Q=\"c;d\":v\r\n"},
        {"X-A;P=plain\"quote:v", "X-A;P=plain\"quote:v\r\n"},
        // Values the reader could not take back unquoted are quoted with
        // their quotes and backslashes escaped.
        {"X-A;P=\"a\\\"b,c\":v", "X-A;P=\"a\\\"b,c\":v\r\n"},
        {"X-A;P=\" lead\":v", "X-A;P=\" lead\":v\r\n"},
        {"X-A;M=\"x:1\",y:v", "X-A;M=\"x:1\",y:v\r\n"},
        {"\"X:Q\";P=1:v", "\"X:Q\";P=1:v\r\n"},
        {"X;\"A=B\"=1:v", "X;\"A=B\"=1:v\r\n"},
        // A property that would read back as a component line keeps its
        // name quoted; other BEGIN and END properties are written bare.
        {"BEGIN:VEVENT\\", "\"BEGIN\":VEVENT\r\n"},
        {"END:VCALENDAR\\", "\"END\":VCALENDAR\r\n"},
        {"BEGIN:X-CUSTOM", "BEGIN:X-CUSTOM\r\n"},
        {"\tX:v", "\"\tX\":v\r\n"},  // a bare tab would continue the previous line
        {"DESCRIPTION:a\\,b\\;c\\\\d\\ne", "DESCRIPTION:a\\,b\\;c\\\\d\\ne\r\n"},
        {"GEO:37.386013;-122.082932", "GEO:37.386013;-122.082932\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        CICalendarProperty p;
        ASSERT_TRUE(p.ReadLine(c.in));
        std::ostringstream out;
        p.WriteLine(out);
        EXPECT_EQ(out.str(), c.out);
        // What was written reads back to the same property.
        CICalendarProperty again;
        std::string line = out.str();
        line.resize(line.size() - 2);
        ASSERT_TRUE(again.ReadLine(line));
        EXPECT_EQ(Describe(again), Describe(p));
    }
}

TEST(CICalendarProperty, ConstructorsAndCopies)
{
    CICalendarProperty text("SUMMARY", "Hello");
    EXPECT_EQ(text.ContentLine(), "SUMMARY:Hello");
    CICalendarProperty number("SEQUENCE", 3);
    EXPECT_EQ(number.ContentLine(), "SEQUENCE:3");
    iCal::CICalendarDateTime date;
    date.FromText("20130105");
    CICalendarProperty start("DTSTART", date);
    EXPECT_EQ(start.ContentLine(), "DTSTART;VALUE=DATE:20130105");
    iCal::CICalendarDateTime zoned(2013, 1, 5, 9, 0, 0, iCal::CICalendarTimezone(false, "Asia/Tokyo"));
    CICalendarProperty local("DTSTART", zoned);
    EXPECT_EQ(local.ContentLine(), "DTSTART;TZID=Asia/Tokyo:20130105T090000");

    CICalendarProperty copy(local);
    local.value.reset();
    EXPECT_EQ(copy.ContentLine(), "DTSTART;TZID=Asia/Tokyo:20130105T090000");
    CICalendarProperty assigned;
    assigned = copy;
    copy.attributes.clear();
    EXPECT_EQ(assigned.ContentLine(), "DTSTART;TZID=Asia/Tokyo:20130105T090000");
    // A property without a value is written as name, parameters and colon.
    EXPECT_EQ(local.ContentLine(), "DTSTART;TZID=Asia/Tokyo:");
}
