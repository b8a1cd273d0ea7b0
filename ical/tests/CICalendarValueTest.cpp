#include "ical/CICalendarValue.h"

#include <memory>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ical/CICalendarAttribute.h"
#include "ical/CICalendarCalAddressValue.h"
#include "ical/CICalendarDateTimeValue.h"
#include "ical/CICalendarDummyValue.h"
#include "ical/CICalendarDurationValue.h"
#include "ical/CICalendarIntegerValue.h"
#include "ical/CICalendarMultiValue.h"
#include "ical/CICalendarPeriodValue.h"
#include "ical/CICalendarProperty.h"
#include "ical/CICalendarRecurrenceValue.h"
#include "ical/CICalendarTextValue.h"
#include "ical/CICalendarURIValue.h"
#include "ical/CICalendarUTCOffsetValue.h"

using namespace iCal;

namespace {

// A property as the reader leaves it before its value is made: a name and
// parameters ("NAME=value" each).
CICalendarProperty MakeProperty(const std::string& name, const std::vector<std::string>& parameters = {})
{
    CICalendarProperty property;
    property.name = name;
    for (const std::string& parameter : parameters) {
        const size_t equals = parameter.find('=');
        property.AddAttribute(CICalendarAttribute(parameter.substr(0, equals), parameter.substr(equals + 1)));
    }
    return property;
}

// All parameters as "NAME=v1,v2;NAME=..." in map order.
std::string Parameters(const CICalendarProperty& property)
{
    std::string out;
    for (const auto& entry : property.attributes) {
        if (!out.empty()) out += ';';
        out += entry.name + "=";
        for (size_t i = 0; i < entry.values.size(); ++i) {
            if (i != 0) out += ',';
            out += entry.values[i];
        }
    }
    return out;
}

}  // namespace

TEST(CICalendarValue, StaticTables)
{
    int32_t type = -1;
    EXPECT_TRUE(ValueTypeFromName("FLOAT", type));
    EXPECT_EQ(VALUE_FLOAT, type);  // never 7
    EXPECT_TRUE(ValueTypeFromName("UTC-OFFSET", type));
    EXPECT_EQ(VALUE_UTC_OFFSET, type);
    EXPECT_FALSE(ValueTypeFromName("GEO", type));
    EXPECT_FALSE(ValueTypeFromName("date", type));  // names are upper case
    EXPECT_EQ("FLOAT", ValueTypeName(VALUE_GEO));
    EXPECT_EQ("DATE-TIME", ValueTypeName(VALUE_DATE_TIME));
    EXPECT_EQ("", ValueTypeName(15));
    EXPECT_EQ("", ValueTypeName(-1));
    for (int32_t code = 0; code <= 14; ++code) {
        SCOPED_TRACE(code);
        int32_t back = -1;
        ASSERT_TRUE(ValueTypeFromName(ValueTypeName(code), back));
        EXPECT_EQ(code == VALUE_GEO ? VALUE_FLOAT : code, back);
    }

    const std::pair<const char*, int32_t> defaults[] = {
        {"DTSTART", VALUE_DATE_TIME}, {"GEO", VALUE_GEO},          {"TRIGGER", VALUE_DURATION},
        {"FREEBUSY", VALUE_PERIOD},   {"RRULE", VALUE_RECUR},      {"ATTENDEE", VALUE_CAL_ADDRESS},
        {"TZURL", VALUE_URI},         {"TZOFFSETTO", VALUE_UTC_OFFSET}, {"SEQUENCE", VALUE_INTEGER},
        {"X-RIZIDEDI-LAST-TRIGGER", VALUE_DATE_TIME}, {"X-WR-CALNAME", VALUE_TEXT},
    };
    for (const auto& entry : defaults) {
        SCOPED_TRACE(entry.first);
        ASSERT_TRUE(DefaultValueType(entry.first, type));
        EXPECT_EQ(entry.second, type);
    }
    EXPECT_FALSE(DefaultValueType("X-OTHER", type));
    EXPECT_EQ(VALUE_TEXT, type);
    EXPECT_FALSE(DefaultValueType("dtstart", type));  // names as written, upper case

    for (const char* name : {"CATEGORIES", "RESOURCES", "FREEBUSY", "EXDATE", "RDATE"}) {
        EXPECT_TRUE(IsMultiValued(name)) << name;
    }
    EXPECT_FALSE(IsMultiValued("DTSTART"));
    EXPECT_FALSE(IsMultiValued("COMMENT"));
}

TEST(CICalendarValue, CreateValueMakesTheClassOfEachType)
{
    struct Row {
        int32_t type;
        const std::type_info& cls;
        int32_t reported;
    };
    const Row rows[] = {
        {VALUE_BINARY, typeid(CICalendarDummyValue), VALUE_BINARY},
        {VALUE_BOOLEAN, typeid(CICalendarDummyValue), VALUE_BOOLEAN},
        {VALUE_CAL_ADDRESS, typeid(CICalendarCalAddressValue), VALUE_CAL_ADDRESS},
        {VALUE_DATE, typeid(CICalendarDateTimeValue), VALUE_DATE_TIME},  // a fresh date-time is not date-only
        {VALUE_DATE_TIME, typeid(CICalendarDateTimeValue), VALUE_DATE_TIME},
        {VALUE_DURATION, typeid(CICalendarDurationValue), VALUE_DURATION},
        {VALUE_FLOAT, typeid(CICalendarDummyValue), VALUE_FLOAT},
        {VALUE_GEO, typeid(CICalendarDummyValue), VALUE_GEO},
        {VALUE_INTEGER, typeid(CICalendarIntegerValue), VALUE_INTEGER},
        {VALUE_PERIOD, typeid(CICalendarPeriodValue), VALUE_PERIOD},
        {VALUE_RECUR, typeid(CICalendarRecurrenceValue), VALUE_RECUR},
        {VALUE_TEXT, typeid(CICalendarTextValue), VALUE_TEXT},
        {VALUE_TIME, typeid(CICalendarDummyValue), VALUE_TIME},
        {VALUE_URI, typeid(CICalendarURIValue), VALUE_URI},
        {VALUE_UTC_OFFSET, typeid(CICalendarUTCOffsetValue), VALUE_UTC_OFFSET},
        {99, typeid(CICalendarDummyValue), 99},  // an unlisted code is remembered
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        const std::unique_ptr<CICalendarValue> value = CreateValue(row.type);
        ASSERT_TRUE(value);
        EXPECT_EQ(row.cls, typeid(*value));
        EXPECT_EQ(row.reported, value->ValueType());
        const std::unique_ptr<CICalendarValue> clone = value->Clone();
        EXPECT_EQ(row.cls, typeid(*clone));
        EXPECT_EQ(value->Text(), clone->Text());
    }
}

// The reader's path: name and parameters known, the text after the colon
// read into a new value; then the writer's path: VALUE prepared, text
// written back.
TEST(CICalendarValue, ValueForPropertyAndPrepareValueParameter)
{
    struct Row {
        const char* name;
        std::vector<std::string> parameters;
        const char* text;
        const std::type_info& cls;
        int32_t type;
        const char* written;
        const char* parametersWritten;
    };
    const Row rows[] = {
        {"SUMMARY", {}, "Lunch\\, with Ann", typeid(CICalendarTextValue), VALUE_TEXT, "Lunch\\, with Ann", ""},
        {"X-UNKNOWN", {}, "a\\;b", typeid(CICalendarTextValue), VALUE_TEXT, "a\\;b", ""},
        {"GEO", {}, "37.386013;-122.082932", typeid(CICalendarDummyValue), VALUE_GEO, "37.386013;-122.082932", ""},
        {"GEO", {"VALUE=FLOAT"}, "1.5;2", typeid(CICalendarDummyValue), VALUE_FLOAT, "1.5;2", "VALUE=FLOAT"},
        {"PRIORITY", {}, "high", typeid(CICalendarIntegerValue), VALUE_INTEGER, "0", ""},
        {"PRIORITY", {}, " -3x", typeid(CICalendarIntegerValue), VALUE_INTEGER, "-3", ""},
        {"TZOFFSETTO", {}, "+0900", typeid(CICalendarUTCOffsetValue), VALUE_UTC_OFFSET, "+0900", ""},
        {"TRIGGER", {}, "-PT15M", typeid(CICalendarDurationValue), VALUE_DURATION, "-PT15M", ""},
        {"TRIGGER", {"VALUE=DATE-TIME"}, "20130105T084500Z", typeid(CICalendarDateTimeValue), VALUE_DATE_TIME,
         "20130105T084500Z", "VALUE=DATE-TIME"},
        {"RRULE", {}, "FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", typeid(CICalendarRecurrenceValue), VALUE_RECUR,
         "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3", ""},
        {"ATTENDEE", {"CN=Ann"}, "mailto:ann@example.com", typeid(CICalendarCalAddressValue), VALUE_CAL_ADDRESS,
         "mailto:ann@example.com", "CN=Ann"},
        {"URL", {}, "http://example.com/a,b", typeid(CICalendarURIValue), VALUE_URI, "http://example.com/a,b", ""},
        {"DTSTART", {}, "20130105T090000", typeid(CICalendarDateTimeValue), VALUE_DATE_TIME, "20130105T090000", ""},
        {"DTSTART", {"VALUE=DATE"}, "20130105", typeid(CICalendarDateTimeValue), VALUE_DATE, "20130105",
         "VALUE=DATE"},
        // Shorter than 15 characters: a date even without VALUE=DATE, and the writer adds it.
        {"DTSTART", {}, "20130105", typeid(CICalendarDateTimeValue), VALUE_DATE, "20130105", "VALUE=DATE"},
        {"DTSTART", {"VALUE=TEXT"}, "soon", typeid(CICalendarTextValue), VALUE_TEXT, "soon", "VALUE=TEXT"},
        {"DTSTART", {"VALUE=SOMETIME"}, "20130105T090000Z", typeid(CICalendarDateTimeValue), VALUE_DATE_TIME,
         "20130105T090000Z", ""},  // an unknown VALUE name keeps the default
        {"DTSTART", {"VALUE=DATE-TIME", "VALUE=DATE-TIME"}, "20130105T090000Z", typeid(CICalendarDateTimeValue),
         VALUE_DATE_TIME, "20130105T090000Z", ""},  // every VALUE parameter removed
        // No table entry: TEXT is the default, so another type keeps VALUE.
        {"X-OTHER", {"VALUE=INTEGER"}, "12", typeid(CICalendarIntegerValue), VALUE_INTEGER, "12", "VALUE=INTEGER"},
        {"X-OTHER", {"VALUE=TEXT"}, "a\\,b", typeid(CICalendarTextValue), VALUE_TEXT, "a\\,b", ""},
        {"EXDATE", {}, "20130105,20130106", typeid(CICalendarMultiValue), VALUE_DATE_TIME, "20130105,20130106", ""},
        {"EXDATE", {"VALUE=DATE"}, "20130105,20130106", typeid(CICalendarMultiValue), VALUE_DATE,
         "20130105,20130106", "VALUE=DATE"},
        {"RDATE", {"VALUE=PERIOD"}, "20130105T090000Z/PT1H,20130106T090000Z/20130106T100000Z",
         typeid(CICalendarMultiValue), VALUE_PERIOD, "20130105T090000Z/PT1H,20130106T090000Z/20130106T100000Z",
         "VALUE=PERIOD"},
        {"FREEBUSY", {}, "20130105T090000Z/PT1H", typeid(CICalendarMultiValue), VALUE_PERIOD,
         "20130105T090000Z/PT1H", ""},
        {"CATEGORIES", {}, "a\\,b,c", typeid(CICalendarMultiValue), VALUE_TEXT, "a\\,b,c", ""},
        {"RESOURCES", {}, "", typeid(CICalendarMultiValue), VALUE_TEXT, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ":" + row.text);
        CICalendarProperty property = MakeProperty(row.name, row.parameters);
        property.value = std::make_unique<CICalendarTextValue>("held before");
        ValueForProperty(property, row.text);
        ASSERT_TRUE(property.value);
        EXPECT_EQ(row.cls, typeid(*property.value));
        EXPECT_EQ(row.type, property.value->ValueType());
        EXPECT_EQ(row.written, property.value->Text());
        PrepareValueParameter(property);
        EXPECT_EQ(row.parametersWritten, Parameters(property));
    }
}

TEST(CICalendarValue, MultiValueElements)
{
    CICalendarProperty exdate = MakeProperty("EXDATE", {"TZID=Asia/Tokyo"});
    ValueForProperty(exdate, "20130105,20130106");
    const auto& dates = static_cast<const CICalendarMultiValue&>(*exdate.value).values;
    ASSERT_EQ(2u, dates.size());
    for (const auto& element : dates) {
        const auto& dt = dynamic_cast<const CICalendarDateTimeValue&>(*element).dateTime;
        EXPECT_TRUE(dt.dateOnly);
        EXPECT_EQ("", dt.zone.tzid);  // elements get their TZID from the recurrence set
    }

    CICalendarProperty categories = MakeProperty("CATEGORIES");
    ValueForProperty(categories, "a\\,b,c,,d\\\\,e\\");
    const auto& texts = static_cast<const CICalendarMultiValue&>(*categories.value).values;
    std::vector<std::string> held;
    for (const auto& element : texts) held.push_back(static_cast<const CICalendarTextValue&>(*element).text);
    EXPECT_EQ((std::vector<std::string>{"a,b", "c", "", "d\\", "e"}), held);
    EXPECT_EQ("a\\,b,c,,d\\\\,e", categories.value->Text());

    // Other types split at every comma, a trailing comma included.
    CICalendarMultiValue periods(VALUE_DATE_TIME);
    periods.FromText("20130105,");
    ASSERT_EQ(2u, periods.values.size());
    EXPECT_EQ("20130105,19700101T000000", periods.Text());

    // Clones are deep.
    std::unique_ptr<CICalendarValue> clone = categories.value->Clone();
    static_cast<CICalendarTextValue&>(*static_cast<CICalendarMultiValue&>(*clone).values[0]).text = "changed";
    EXPECT_EQ("a,b", static_cast<const CICalendarTextValue&>(*texts[0]).text);
    EXPECT_EQ(VALUE_TEXT, clone->ValueType());
}

TEST(CICalendarValue, DateTimeTakesTheTzidParameter)
{
    CICalendarProperty zoned = MakeProperty("DTSTART", {"TZID=Asia/Tokyo", "TZID=Europe/Paris"});
    ValueForProperty(zoned, "20130105T090000");
    const CICalendarDateTime& dt = static_cast<const CICalendarDateTimeValue&>(*zoned.value).dateTime;
    EXPECT_EQ("Asia/Tokyo", dt.zone.tzid);  // the first value
    EXPECT_FALSE(dt.zone.utc);
    EXPECT_FALSE(dt.dateOnly);

    CICalendarProperty utc = MakeProperty("DTSTART");
    ValueForProperty(utc, "20130105T090000Z");
    const CICalendarDateTime& u = static_cast<const CICalendarDateTimeValue&>(*utc.value).dateTime;
    EXPECT_TRUE(u.zone.utc);
    EXPECT_EQ("", u.zone.tzid);
}

TEST(CICalendarValue, SetDateTimeValue)
{
    struct Row {
        const char* text;
        const char* tzid;
        std::vector<std::string> parametersBefore;
        const char* parametersAfter;
    };
    const Row rows[] = {
        {"20130105T090000", "Asia/Tokyo", {}, "TZID=Asia/Tokyo"},
        {"20130105T090000", "Asia/Tokyo", {"TZID=Europe/Paris", "TZID=UTC", "VALUE=DATE", "CN=x"},
         "CN=x;TZID=Asia/Tokyo"},
        {"20130105T090000", "", {"TZID=Europe/Paris"}, ""},           // floating: no TZID
        {"20130105T090000Z", "Asia/Tokyo", {"TZID=Asia/Tokyo"}, ""},  // UTC: a TZID would contradict it
        {"20130105", "Asia/Tokyo", {}, "VALUE=DATE"},                 // a DATE has no zone
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " " + row.tzid);
        CICalendarProperty property = MakeProperty("DTSTART", row.parametersBefore);
        CICalendarDateTime dt;
        dt.FromText(row.text);
        dt.SetTzid(row.tzid);
        SetDateTimeValue(property, dt);
        EXPECT_EQ(row.parametersAfter, Parameters(property));
        ASSERT_TRUE(property.value);
        EXPECT_EQ(row.text, property.value->Text());
        EXPECT_EQ(row.tzid, static_cast<const CICalendarDateTimeValue&>(*property.value).dateTime.zone.tzid);
    }
}
