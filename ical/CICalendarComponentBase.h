#ifndef ICAL_CICALENDARCOMPONENTBASE_H
#define ICAL_CICALENDARCOMPONENTBASE_H

#include <cstdint>
#include <ostream>
#include <string>

#include "ical/CICalendarProperty.h"

namespace iCal {

class CICalendarDateTime;
class CICalendarDuration;
class CICalendarPeriod;
class CICalendarRecurrenceSet;

// The property holder shared by the calendar and every component.
// Owns its properties by value. Used by one thread at a time.
class CICalendarComponentBase {
public:
    // Properties keyed by their name, compared byte-wise: iteration is in
    // name order, and properties of one name keep the order they were added
    // in.
    using PropertyMap = NameMultimap<CICalendarProperty>;

    CICalendarComponentBase() = default;
    CICalendarComponentBase(const CICalendarComponentBase&) = default;
    CICalendarComponentBase& operator=(const CICalendarComponentBase&) = default;
    virtual ~CICalendarComponentBase();

    // Fills cached fields from the properties once the object's END line has
    // been read.
    virtual void CompleteLoad() = 0;
    // Writes the object as iCalendar text. Answers whether the stream is
    // still good afterwards (nothing else is checked).
    virtual bool Write(std::ostream& stream, bool forCache) = 0;

    // Single-value accessors: false (output untouched) when there is no
    // property of that name, or when the first one (the earliest added) does
    // not hold a value of the required class.
    virtual bool LoadPeriod(const std::string& propName, CICalendarPeriod& period) const;
    virtual bool LoadDuration(const std::string& propName, CICalendarDuration& duration) const;
    virtual bool LoadDateTime(const std::string& propName, CICalendarDateTime& dateTime) const;
    // TEXT, URI and CAL-ADDRESS values.
    virtual bool LoadText(const std::string& propName, std::string& text) const;
    // type 8 (INTEGER) or 14 (UTC-OFFSET); any other type answers false.
    virtual bool LoadInteger(const std::string& propName, int32_t& number, int32_t type) const;
    // Recurrence accessors: false when there is no property of that name;
    // otherwise every RECUR value (LoadRules) or every date element of a
    // multi-valued property (LoadDates) is added to the set, as inclusion or
    // exclusion. LoadDates first writes the property's TZID into the zone of
    // each date-time element, so the stored elements change.
    virtual bool LoadRules(const std::string& propName, CICalendarRecurrenceSet& set, bool include);
    virtual bool LoadDates(const std::string& propName, CICalendarRecurrenceSet& set, bool include);

    // Inserts a copy after any properties of the same name.
    void AddProperty(const CICalendarProperty& property);
    void AddProperty(CICalendarProperty&& property);
    // Erases every property of that name (the calendar's own properties only
    // when called on a CICalendar; components are not visited).
    void RemoveProperties(const std::string& propName);
    // LoadText, then RemoveProperties when it succeeded.
    bool TakePrivateText(const std::string& propName, std::string& text);
    // The first property of that name, or nullptr. Borrowed.
    const CICalendarProperty* FindProperty(const std::string& propName) const;
    CICalendarProperty* FindProperty(const std::string& propName);
    bool HasProperty(const std::string& propName) const;

    // Every property as content lines, in `properties` order.
    void WriteProperties(std::ostream& stream);
    void AppendProperties(std::string& out);

    PropertyMap properties;
};

}  // namespace iCal

#endif
