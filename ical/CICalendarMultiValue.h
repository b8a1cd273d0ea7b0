#ifndef ICAL_CICALENDARMULTIVALUE_H
#define ICAL_CICALENDARMULTIVALUE_H

#include <memory>
#include <vector>

#include "ical/CICalendarValue.h"

namespace iCal {

// The comma-separated list value of a multi-valued property (CATEGORIES,
// RESOURCES, FREEBUSY, EXDATE, RDATE). Owns its elements, all created for
// one element type; reports that type, not the types of its elements.
//
// Reading cuts the text at every comma and reads each piece with a new
// element: "20130105,20130106" gives two elements, "" one empty element,
// "a," a last empty element. For TEXT elements an escaped comma ("\,")
// stays inside its element, because the writer escapes commas inside
// elements: "a\,b,c" reads as "a,b" and "c" and writes back the same.
class CICalendarMultiValue : public CICalendarValue {
public:
    explicit CICalendarMultiValue(int32_t elementType) : elementType(elementType) {}
    CICalendarMultiValue(const CICalendarMultiValue& other);
    CICalendarMultiValue& operator=(const CICalendarMultiValue& other);

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarMultiValue>(*this);
    }
    int32_t ValueType() const override { return elementType; }
    // Replaces the elements by those read from the text.
    void FromText(const std::string& text) override;
    // The elements' texts joined by ",".
    void ToText(std::ostream& stream) const override;

    // The multi-value takes ownership.
    void AddValue(std::unique_ptr<CICalendarValue> element) { values.push_back(std::move(element)); }
    const std::vector<std::unique_ptr<CICalendarValue>>& GetValues() const { return values; }

    int32_t elementType;
    std::vector<std::unique_ptr<CICalendarValue>> values;  // owned, in text order
};

}  // namespace iCal

#endif
