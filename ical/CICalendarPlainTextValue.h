#ifndef ICAL_CICALENDARPLAINTEXTVALUE_H
#define ICAL_CICALENDARPLAINTEXTVALUE_H

#include <string>

#include "ical/CICalendarExactString.h"
#include "ical/CICalendarValue.h"

namespace iCal {

// Common base of the values that hold one text (TEXT, URI, CAL-ADDRESS).
// FromText and ToText keep the text unchanged; CICalendarTextValue adds the
// TEXT escapes. Type and clone are left to the subclasses.
class CICalendarPlainTextValue : public CICalendarValue {
public:
    CICalendarPlainTextValue() = default;
    explicit CICalendarPlainTextValue(const std::string& text) : text(text) {}

    void FromText(const std::string& newText) override { AssignExact(text, newText); }
    void ToText(std::ostream& stream) const override { stream << text; }

    const std::string& GetText() const { return text; }
    void SetText(const std::string& newText) { text = newText; }

    std::string text;  // the text itself (for TEXT: unescaped)
};

}  // namespace iCal

#endif
