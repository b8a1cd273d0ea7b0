#ifndef ICAL_CICALENDARPROPERTY_H
#define ICAL_CICALENDARPROPERTY_H

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "ical/CICalendarAttribute.h"
#include "ical/CICalendarNameMultimap.h"
#include "ical/CICalendarSharedString.h"

namespace iCal {

class CICalendarValue;
class CICalendarDateTime;

// One content line: a name, its parameters and its typed value.
// Owned by value in a component's (or the calendar's) property multimap, of
// which its name is the key; the property owns its parameters and its value.
// Used by one thread at a time.
class CICalendarProperty {
public:
    // Parameters keyed by their name, compared byte-wise; parameters of the
    // same name keep the order in which they were added.
    using AttributeMap = NameMultimap<CICalendarAttribute>;

    // No name, no parameters, no value.
    CICalendarProperty();
    // A value of the given type (default 11, TEXT); a plain-text value
    // (TEXT, URI, CAL-ADDRESS) receives `text`, others keep their default.
    CICalendarProperty(const std::string& name, const std::string& text, int32_t type = 11);
    // A DATE or DATE-TIME value holding a copy of dateTime, with TZID and
    // VALUE parameters set to match it.
    CICalendarProperty(const std::string& name, const CICalendarDateTime& dateTime);
    // An INTEGER value.
    CICalendarProperty(const std::string& name, int32_t number);
    // Deep copies: the parameters and a clone of the value.
    CICalendarProperty(const CICalendarProperty& other);
    CICalendarProperty& operator=(const CICalendarProperty& other);
    CICalendarProperty(CICalendarProperty&& other) noexcept;
    CICalendarProperty& operator=(CICalendarProperty&& other) noexcept;
    virtual ~CICalendarProperty();

    // Parameter access. FindAttribute answers the first parameter of that name
    // (the earliest added) or nullptr.
    const CICalendarAttribute* FindAttribute(const std::string& attrName) const;
    bool HasAttribute(const std::string& attrName) const;
    // Adds after any parameters of the same name.
    void AddAttribute(const CICalendarAttribute& attribute);
    void RemoveAttributes(const std::string& attrName);

    // Replaces the value; the property takes ownership (nullptr clears it).
    void SetValue(std::unique_ptr<CICalendarValue> newValue);
    // Borrowed; nullptr when the property has no value.
    CICalendarValue* GetValue() const { return value.get(); }

    // Fills an empty property from one unfolded content line. True when a
    // name, the parameters and a value were read; false leaves the property
    // in an unspecified but valid state (the reader drops it).
    bool ReadLine(const std::string& text);
    // The same, using `text` as scratch space: it holds only the value text
    // afterwards.
    bool ReadLine(std::string& text);
    // Writes the property as one content line, folded, ending in CR LF.
    // Rewrites the VALUE parameter to match the value first.
    void WriteLine(std::ostream& stream);
    // The same line appended to `out`.
    void AppendLine(std::string& out);
    // The unfolded content line without its line end (also rewrites VALUE).
    std::string ContentLine();
    // The same appended to `out`.
    void AppendContentLine(std::string& out);

    CICalendarSharedString name;           // exactly as read or given, no case folding
    AttributeMap attributes;
    std::unique_ptr<CICalendarValue> value;  // owned; may be null only before it is filled
};

}  // namespace iCal

#endif
