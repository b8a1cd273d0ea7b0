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
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size()) break;  // a lone trailing backslash is dropped
        switch (text[++i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case ',': out += ','; break;
        case ';': out += ';'; break;
        case '\\': out += '\\'; break;
        default: break;  // unknown escape (including "\N"): both dropped
        }
    }
    return out;
}

}  // namespace iCal
