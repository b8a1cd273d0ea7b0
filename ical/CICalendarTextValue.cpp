#include "ical/CICalendarTextValue.h"

namespace iCal {

void CICalendarTextValue::EscapeText(const std::string& text, std::ostream& stream)
{
    // RFC 5545 section 3.3.11: backslash, semicolon and comma are escaped,
    // a line break is written as "\n". A carriage return is written "\r"
    // so that it survives the CR LF line ends of the output.
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* escape = nullptr;
        switch (c) {
        case '\n': escape = "\\n"; break;
        case '\r': escape = "\\r"; break;
        case ',': escape = "\\,"; break;
        case ';': escape = "\\;"; break;
        case '\\': escape = "\\\\"; break;
        default: continue;
        }
        stream.write(text.data() + begin, static_cast<std::streamsize>(i - begin));
        stream << escape;
        begin = i + 1;
    }
    stream.write(text.data() + begin, static_cast<std::streamsize>(text.size() - begin));
}

std::string CICalendarTextValue::UnescapeText(const std::string& text)
{
    // Most text has no escapes at all: a plain copy, made to its size.
    size_t slash = text.find('\\');
    if (slash == std::string::npos)
        return text;
    // Else the runs between backslashes are copied whole, not character by
    // character.
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (; slash != std::string::npos; slash = text.find('\\', start)) {
        out.append(text, start, slash - start);
        if (slash + 1 >= text.size()) return out;  // a lone trailing backslash is dropped
        switch (text[slash + 1]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case ',': out += ','; break;
        case ';': out += ';'; break;
        case '\\': out += '\\'; break;
        default: break;  // unknown escape (including "\N"): both dropped
        }
        start = slash + 2;
    }
    out.append(text, start, std::string::npos);
    return out;
}

}  // namespace iCal
