#include "ical/CICalendarMultiValue.h"

#include <algorithm>

namespace iCal {

CICalendarMultiValue::CICalendarMultiValue(const CICalendarMultiValue& other)
    : CICalendarValue(other), elementType(other.elementType)
{
    values.reserve(other.values.size());
    for (const auto& element : other.values) values.push_back(element->Clone());
}

CICalendarMultiValue& CICalendarMultiValue::operator=(const CICalendarMultiValue& other)
{
    if (this != &other) {
        CICalendarMultiValue copy(other);
        elementType = copy.elementType;
        values = std::move(copy.values);
    }
    return *this;
}

void CICalendarMultiValue::FromText(const std::string& text)
{
    values.clear();
    // TEXT elements may hold an escaped comma ("\,", RFC 5545 section
    // 3.3.11); it stays inside its element. Other types hold no backslash
    // escapes and are cut at every comma.
    const bool honourEscapes = elementType == VALUE_TEXT;
    // Room for every element at once (an escaped comma only over-counts).
    values.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
    size_t begin = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size()) {
            if (honourEscapes && text[i] == '\\' && i + 1 < text.size()) {
                ++i;  // the escaped character belongs to the element
                continue;
            }
            if (text[i] != ',') continue;
        }
        std::unique_ptr<CICalendarValue> element = CreateValue(elementType);
        element->FromText(text.substr(begin, i - begin));
        values.push_back(std::move(element));
        begin = i + 1;
    }
}

void CICalendarMultiValue::ToText(std::ostream& stream) const
{
    bool first = true;
    for (const auto& element : values) {
        if (!first) stream << ',';
        first = false;
        element->ToText(stream);
    }
}

}  // namespace iCal
