#include "ical/CICalendarValue.h"

#include <map>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

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

namespace iCal {

namespace {

const char* const kValueParameter = "VALUE";
const char* const kTzidParameter = "TZID";

// The three tables and the set, built on first use and never changed
// afterwards (function-local statics).

const std::unordered_map<std::string, int32_t>& NameToType()
{
    static const std::unordered_map<std::string, int32_t> table = {
        {"BINARY", VALUE_BINARY},     {"BOOLEAN", VALUE_BOOLEAN},     {"CAL-ADDRESS", VALUE_CAL_ADDRESS},
        {"DATE", VALUE_DATE},         {"DATE-TIME", VALUE_DATE_TIME}, {"DURATION", VALUE_DURATION},
        {"FLOAT", VALUE_FLOAT},       {"INTEGER", VALUE_INTEGER},     {"PERIOD", VALUE_PERIOD},
        {"RECUR", VALUE_RECUR},       {"TEXT", VALUE_TEXT},           {"TIME", VALUE_TIME},
        {"URI", VALUE_URI},           {"UTC-OFFSET", VALUE_UTC_OFFSET},
    };
    return table;
}

const std::vector<std::string>& TypeToName()
{
    // Code 7 (GEO) has no name of its own and is written as FLOAT.
    static const std::vector<std::string> table = {
        "BINARY", "BOOLEAN", "CAL-ADDRESS", "DATE",   "DATE-TIME", "DURATION", "FLOAT", "FLOAT",
        "INTEGER", "PERIOD", "RECUR",       "TEXT",   "TIME",      "URI",      "UTC-OFFSET",
    };
    return table;
}

const std::unordered_map<std::string, int32_t>& PropertyDefaults()
{
    static const std::unordered_map<std::string, int32_t> table = {
        {"ATTACH", VALUE_URI},
        {"CATEGORIES", VALUE_TEXT},
        {"CLASS", VALUE_TEXT},
        {"COMMENT", VALUE_TEXT},
        {"DESCRIPTION", VALUE_TEXT},
        {"GEO", VALUE_GEO},
        {"LOCATION", VALUE_TEXT},
        {"PERCENT-COMPLETE", VALUE_INTEGER},
        {"PRIORITY", VALUE_INTEGER},
        {"RESOURCES", VALUE_TEXT},
        {"STATUS", VALUE_TEXT},
        {"SUMMARY", VALUE_TEXT},
        {"COMPLETED", VALUE_DATE_TIME},
        {"DTEND", VALUE_DATE_TIME},
        {"DUE", VALUE_DATE_TIME},
        {"DTSTART", VALUE_DATE_TIME},
        {"DURATION", VALUE_DURATION},
        {"FREEBUSY", VALUE_PERIOD},
        {"TRANSP", VALUE_TEXT},
        {"TZID", VALUE_TEXT},
        {"TZNAME", VALUE_TEXT},
        {"TZOFFSETFROM", VALUE_UTC_OFFSET},
        {"TZOFFSETTO", VALUE_UTC_OFFSET},
        {"TZURL", VALUE_URI},
        {"ATTENDEE", VALUE_CAL_ADDRESS},
        {"CONTACT", VALUE_TEXT},
        {"ORGANIZER", VALUE_CAL_ADDRESS},
        {"RECURRENCE-ID", VALUE_DATE_TIME},
        {"RELATED-TO", VALUE_TEXT},
        {"URL", VALUE_URI},
        {"UID", VALUE_TEXT},
        {"EXDATE", VALUE_DATE_TIME},
        {"EXRULE", VALUE_RECUR},
        {"RDATE", VALUE_DATE_TIME},
        {"RRULE", VALUE_RECUR},
        {"ACTION", VALUE_TEXT},
        {"REPEAT", VALUE_INTEGER},
        {"TRIGGER", VALUE_DURATION},
        {"CREATED", VALUE_DATE_TIME},
        {"DTSTAMP", VALUE_DATE_TIME},
        {"LAST-MODIFIED", VALUE_DATE_TIME},
        {"SEQUENCE", VALUE_INTEGER},
        {"X-WR-CALNAME", VALUE_TEXT},
        {"X-WR-CALDESC", VALUE_TEXT},
        {"X-RIZIDEDI-PRIVATE-RURL", VALUE_TEXT},
        {"X-RIZIDEDI-PRIVATE-ETAG", VALUE_TEXT},
        {"X-RIZIDEDI-SPEAK-TEXT", VALUE_TEXT},
        {"X-RIZIDEDI-LAST-TRIGGER", VALUE_DATE_TIME},
        {"X-RIZIDEDI-ALARM-STATUS", VALUE_TEXT},
    };
    return table;
}

const std::unordered_set<std::string>& MultiValued()
{
    static const std::unordered_set<std::string> set = {"CATEGORIES", "RESOURCES", "FREEBUSY", "EXDATE", "RDATE"};
    return set;
}

// What the two tables above say of one property name, found with one
// lookup: the reader asks both questions for every property it reads.
struct PropertyTraits {
    int32_t type = VALUE_TEXT;  // the default value type; TEXT when not listed
    bool listed = false;        // the name is in the default-type table
    bool multi = false;         // a comma-separated list
};

const PropertyTraits& TraitsOf(const std::string& propertyName)
{
    static const std::unordered_map<std::string, PropertyTraits> table = [] {
        std::unordered_map<std::string, PropertyTraits> traits;
        for (const auto& entry : PropertyDefaults())
            traits[entry.first] = PropertyTraits{entry.second, true, false};
        for (const std::string& name : MultiValued())
            traits[name].multi = true;
        return traits;
    }();
    static const PropertyTraits unlisted;
    const auto it = table.find(propertyName);
    return it == table.end() ? unlisted : it->second;
}

// Every property read or written asks for its traits. A shared name's text
// lives as long as the process, so its address identifies it: each thread
// remembers the traits of the names it met, instead of hashing every name.
const PropertyTraits& TraitsOf(const CICalendarSharedString& propertyName)
{
    if (!propertyName.IsShared())
        return TraitsOf(propertyName.str());
    struct Remembered {
        const std::string* name = nullptr;
        const PropertyTraits* traits = nullptr;
    };
    thread_local Remembered remembered[64];
    const std::string* name = &propertyName.str();
    Remembered& slot = remembered[(reinterpret_cast<std::uintptr_t>(name) / sizeof(std::string)) % 64];
    if (slot.name != name)
        slot = Remembered{name, &TraitsOf(*name)};
    return *slot.traits;
}

// First value of the first parameter of that name, or nullptr.
const std::string* FirstParameterValue(const CICalendarProperty& property, const std::string& name)
{
    const auto it = property.attributes.find(name);
    if (it == property.attributes.end() || it->values.empty()) return nullptr;
    return &it->values.front();
}

void RemoveParameters(CICalendarProperty& property, const std::string& name)
{
    if (!property.attributes.empty())
        property.attributes.erase(name);
}

void AddParameter(CICalendarProperty& property, const std::string& name, const std::string& value)
{
    CICalendarAttribute attribute;
    attribute.name = name;
    attribute.values.push_back(value);
    property.attributes.insert(std::move(attribute));
}

}  // namespace

std::string CICalendarValue::Text() const
{
    std::ostringstream stream;
    ToText(stream);
    return stream.str();
}

std::unique_ptr<CICalendarValue> CreateValue(int32_t type)
{
    switch (type) {
    case VALUE_CAL_ADDRESS: return std::make_unique<CICalendarCalAddressValue>();
    case VALUE_DATE:
    case VALUE_DATE_TIME: return std::make_unique<CICalendarDateTimeValue>();
    case VALUE_DURATION: return std::make_unique<CICalendarDurationValue>();
    case VALUE_INTEGER: return std::make_unique<CICalendarIntegerValue>();
    case VALUE_PERIOD: return std::make_unique<CICalendarPeriodValue>();
    case VALUE_RECUR: return std::make_unique<CICalendarRecurrenceValue>();
    case VALUE_TEXT: return std::make_unique<CICalendarTextValue>();
    case VALUE_URI: return std::make_unique<CICalendarURIValue>();
    case VALUE_UTC_OFFSET: return std::make_unique<CICalendarUTCOffsetValue>();
    default: return std::make_unique<CICalendarDummyValue>(type);
    }
}

bool ValueTypeFromName(const std::string& name, int32_t& type)
{
    const auto& table = NameToType();
    const auto it = table.find(name);
    if (it == table.end()) return false;
    type = it->second;
    return true;
}

const std::string& ValueTypeName(int32_t type)
{
    static const std::string none;
    const auto& table = TypeToName();
    if (type < 0 || static_cast<size_t>(type) >= table.size()) return none;
    return table[static_cast<size_t>(type)];
}

bool DefaultValueType(const std::string& propertyName, int32_t& type)
{
    const PropertyTraits& traits = TraitsOf(propertyName);
    type = traits.type;
    return traits.listed;
}

bool IsMultiValued(const std::string& propertyName)
{
    return TraitsOf(propertyName).multi;
}

void ValueForProperty(CICalendarProperty& property, const std::string& text)
{
    property.value.reset();
    const PropertyTraits& traits = TraitsOf(property.name);
    int32_t type = traits.type;
    if (const std::string* valueName = FirstParameterValue(property, kValueParameter)) {
        ValueTypeFromName(*valueName, type);  // an unknown name keeps the default
    }

    std::unique_ptr<CICalendarValue> value;
    if (traits.multi) {
        value = std::make_unique<CICalendarMultiValue>(type);
    } else {
        value = CreateValue(type);
        if (type == VALUE_DATE_TIME) {
            const std::string* tzid = FirstParameterValue(property, kTzidParameter);
            static const std::string none;
            static_cast<CICalendarDateTimeValue&>(*value).dateTime.SetTzid(tzid != nullptr ? *tzid : none);
        }
    }
    value->FromText(text);
    property.value = std::move(value);
}

void PrepareValueParameter(CICalendarProperty& property)
{
    RemoveParameters(property, kValueParameter);
    if (!property.value) return;
    // A name outside the table reads back as TEXT, so its default is TEXT
    // here too: a value of another type (X-...;VALUE=URI) keeps its VALUE
    // parameter, or its text would read back as TEXT, whose escapes change
    // it (a backslash in a URI would be halved).
    const int32_t defaultType = TraitsOf(property.name).type;
    const int32_t type = property.value->ValueType();
    if (type == defaultType) return;
    const std::string& name = ValueTypeName(type);
    if (!name.empty()) AddParameter(property, kValueParameter, name);
}

void SetDateTimeValue(CICalendarProperty& property, const CICalendarDateTime& dateTime)
{
    property.value = std::make_unique<CICalendarDateTimeValue>(dateTime);
    PrepareValueParameter(property);
    // RFC 5545 section 3.2.19: a TZID parameter belongs only to a local
    // DATE-TIME; on a DATE or a UTC time it would contradict the value.
    RemoveParameters(property, kTzidParameter);
    if (!dateTime.dateOnly && !dateTime.zone.utc && !dateTime.zone.tzid.empty()) {
        AddParameter(property, kTzidParameter, dateTime.zone.tzid);
    }
}

}  // namespace iCal
