// Fuzz entry point: arbitrary bytes are read as a calendar and written; the
// output is read and written again and must come out byte for byte the same
// (what the backup writes must survive being read back).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <sstream>
#include <string>

#include "ical/CICalendar.h"

namespace {

std::string ReadAndWrite(const std::string& input)
{
    iCal::CICalendar calendar;
    std::istringstream in(input);
    calendar.Read(in);
    std::ostringstream out;
    calendar.Write(out, false);
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every input starts from an empty time-zone database, so that runs do
    // not depend on each other and the database does not grow without end.
    iCal::CICalendar::TimezoneDatabase().timezones.RemoveAllComponents();
    const std::string first = ReadAndWrite(std::string(reinterpret_cast<const char*>(data), size));
    const std::string second = ReadAndWrite(first);
    if (first != second) {
        std::fprintf(stderr, "round trip changed the text\n--- first\n%s\n--- second\n%s\n", first.c_str(),
                     second.c_str());
        std::abort();
    }
    return 0;
}
