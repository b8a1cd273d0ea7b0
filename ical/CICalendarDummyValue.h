#ifndef ICAL_CICALENDARDUMMYVALUE_H
#define ICAL_CICALENDARDUMMYVALUE_H

#include "ical/CICalendarValue.h"

namespace iCal {

// A value the library does not interpret (BINARY, BOOLEAN, FLOAT, GEO, TIME
// or an unknown type): the raw text is kept and written back unchanged,
// so such properties pass through the backup byte for byte.
class CICalendarDummyValue : public CICalendarValue {
public:
    explicit CICalendarDummyValue(int32_t type) : type(type) {}

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarDummyValue>(*this);
    }
    int32_t ValueType() const override { return type; }
    void FromText(const std::string& newText) override { text = newText; }
    void ToText(std::ostream& stream) const override { stream << text; }

    int32_t type;      // the code it was created for
    std::string text;  // raw text
};

}  // namespace iCal

#endif
