#ifndef ICAL_CICALENDARATTRIBUTE_H
#define ICAL_CICALENDARATTRIBUTE_H

#include <ostream>
#include <string>

#include <boost/container/small_vector.hpp>

namespace iCal {

// One property parameter (RFC 5545 section 3.2): a name and its values.
// Owned by value inside its CICalendarProperty. Used by one thread at a time.
class CICalendarAttribute {
public:
    CICalendarAttribute() = default;
    // A parameter with one value.
    CICalendarAttribute(const std::string& name, const std::string& value);
    CICalendarAttribute(const CICalendarAttribute&) = default;
    CICalendarAttribute& operator=(const CICalendarAttribute&) = default;
    CICalendarAttribute(CICalendarAttribute&&) noexcept = default;
    CICalendarAttribute& operator=(CICalendarAttribute&&) noexcept = default;
    virtual ~CICalendarAttribute();

    // The first value, or an empty string when there is none.
    const std::string& FirstValue() const;

    // Writes NAME=v1,v2...; a value holding ":", ";" or "," is enclosed in
    // double quotes (RFC 5545 section 3.1 forbids those bytes unquoted).
    // Nothing inside a value is escaped.
    void Write(std::ostream& stream) const;
    // The same, appended to a string (the writer builds whole content lines).
    void AppendTo(std::string& out) const;

    // Nearly every parameter has one value, which is kept inside the
    // parameter rather than in an allocation of its own.
    using ValueList = boost::container::small_vector<std::string, 1>;

    std::string name;  // parameter name exactly as read or given
    ValueList values;  // in order; one when made by the reader
};

}  // namespace iCal

#endif
