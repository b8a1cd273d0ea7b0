#ifndef ICAL_CICALENDARTEXTVALUE_H
#define ICAL_CICALENDARTEXTVALUE_H

#include <ostream>
#include <string>

#include "ical/CICalendarPlainTextValue.h"

namespace iCal {

// TEXT (RFC 5545 section 3.3.11). Holds the unescaped text; reading
// unescapes, writing escapes.
//   held "a,b;c\d" + line feed  <->  written "a\,b\;c\\d\n"
class CICalendarTextValue : public CICalendarPlainTextValue {
public:
    using CICalendarPlainTextValue::CICalendarPlainTextValue;

    std::unique_ptr<CICalendarValue> Clone() const override
    {
        return std::make_unique<CICalendarTextValue>(*this);
    }
    int32_t ValueType() const override { return VALUE_TEXT; }
    void FromText(const std::string& newText) override { text = UnescapeText(newText); }
    void ToText(std::ostream& stream) const override { EscapeText(text, stream); }

    // Writes text with a backslash before ",", ";" and "\", a line feed as
    // "\n" and a carriage return as "\r"; every other byte (UTF-8 included)
    // unchanged.
    static void EscapeText(const std::string& text, std::ostream& stream);
    // "\n" -> line feed, "\r" -> carriage return, "\," "\;" "\\" -> the
    // character; a backslash before any other character (including "N") is
    // dropped with that character, a trailing lone backslash is dropped.
    static std::string UnescapeText(const std::string& text);
};

}  // namespace iCal

#endif
