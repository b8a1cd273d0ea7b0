#ifndef ICAL_TESTS_ICALTESTUTIL_H
#define ICAL_TESTS_ICALTESTUTIL_H

#include <initializer_list>
#include <sstream>
#include <string>

#include "ical/CICalendar.h"
#include "tests/support/TestSupport.h"

namespace icaltest {

// Joins lines with CR LF, each line ended.
inline std::string Crlf(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

inline bool ReadText(iCal::CICalendar& calendar, const std::string& text)
{
    std::istringstream in(text);
    return calendar.Read(in);
}

inline std::string WriteText(iCal::CICalendar& calendar, bool forCache = false)
{
    std::ostringstream out;
    calendar.Write(out, forCache);
    return out.str();
}

inline std::string FixturePath(const std::string& name)
{
    return std::string(ICAL_FIXTURE_DIR) + "/" + name;
}

inline std::string Fixture(const std::string& name)
{
    return mivo::test::readFile(FixturePath(name));
}

// A calendar of the given component lines.
inline std::string Calendar(const std::string& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + body + "END:VCALENDAR\r\n";
}

}  // namespace icaltest

#endif
