#ifndef ICAL_CICALENDARVALUE_H
#define ICAL_CICALENDARVALUE_H

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "ical/CICalendarDefinitions.h"

namespace iCal {

class CICalendarProperty;
class CICalendarDateTime;

// The typed value of one property: the text after the colon of a content
// line (RFC 5545 section 3.1), turned into and out of its typed form.
// Owned by its CICalendarProperty (a CICalendarMultiValue owns its
// elements). Used by one thread at a time.
class CICalendarValue {
public:
    CICalendarValue() = default;
    CICalendarValue(const CICalendarValue&) = default;
    CICalendarValue& operator=(const CICalendarValue&) = default;
    virtual ~CICalendarValue() = default;

    // A deep heap copy of the same class; the caller owns it.
    virtual std::unique_ptr<CICalendarValue> Clone() const = 0;
    // The value type code (ValueTypeCode, 0-14).
    virtual int32_t ValueType() const = 0;
    // Reads the text after the colon. Never fails: text that does not fit
    // the type is read as far as it goes.
    virtual void FromText(const std::string& text) = 0;
    // Writes the text after the colon.
    virtual void ToText(std::ostream& stream) const = 0;

    // ToText into a string.
    std::string Text() const;
};

// A new value of the class that holds `type` (caller owns it): DATE and
// DATE-TIME give a CICalendarDateTimeValue, TEXT a CICalendarTextValue, and
// so on; BINARY, BOOLEAN, FLOAT, GEO, TIME and any unlisted code give a
// CICalendarDummyValue that keeps its raw text and remembers the code.
std::unique_ptr<CICalendarValue> CreateValue(int32_t type);

// The three static tables and the multi-valued set. Built on first use,
// never changed afterwards.
// VALUE= name -> code; false for a name not in the table ("FLOAT" is 6,
// never 7). Names are matched exactly (upper case).
bool ValueTypeFromName(const std::string& name, int32_t& type);
// Code -> VALUE= name; 7 gives "FLOAT"; an unknown code gives "".
const std::string& ValueTypeName(int32_t type);
// Property name (as written, upper case) -> default value type; false (and
// type VALUE_TEXT) for a name not in the table.
bool DefaultValueType(const std::string& propertyName, int32_t& type);
// CATEGORIES, RESOURCES, FREEBUSY, EXDATE, RDATE: comma-separated lists.
bool IsMultiValued(const std::string& propertyName);

// Called by the property reader once the name and parameters are known:
// replaces the property's value by a new one of the property's type (its
// default, or the VALUE parameter's when that names a known type), filled
// from `text`, the text after the colon. A DATE-TIME takes the TZID
// parameter's first value as its TZID (none: cleared). A multi-valued
// property gets a CICalendarMultiValue whose elements get no TZID here.
void ValueForProperty(CICalendarProperty& property, const std::string& text);

// Called by the property writer before the line is written: removes every
// VALUE parameter, then adds VALUE=<name> when the value's type differs from
// the default of the property's name (TEXT for a name not in the table, as
// the reader gives such names). A date-only DTSTART gets VALUE=DATE; an
// X-property keeps VALUE=URI, so that its text reads back unchanged.
void PrepareValueParameter(CICalendarProperty& property);

// Gives the property a new CICalendarDateTimeValue holding a copy of
// dateTime, prepares VALUE, and when dateTime is a DATE-TIME (not
// date-only) that is not UTC and has a TZID, leaves exactly one TZID
// parameter with that TZID.
void SetDateTimeValue(CICalendarProperty& property, const CICalendarDateTime& dateTime);

}  // namespace iCal

#endif
