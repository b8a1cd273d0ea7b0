#ifndef ICAL_CICALENDARVIEWBUFFER_H
#define ICAL_CICALENDARVIEWBUFFER_H

#include <cstddef>
#include <streambuf>
#include <string>

namespace iCal {

// An input stream buffer over text the caller keeps alive and unchanged
// while it is read. A calendar stored as one string (a database row) is read
// through it without the copy a std::istringstream makes, which for a large
// calendar costs as much as a tenth of the reading itself.
class CICalendarViewBuffer : public std::streambuf {
public:
    CICalendarViewBuffer(const char* data, std::size_t size)
    {
        // The get area is only ever read from; std::streambuf wants char*.
        char* begin = const_cast<char*>(data);
        setg(begin, begin, begin + size);
    }
    explicit CICalendarViewBuffer(const std::string& text) : CICalendarViewBuffer(text.data(), text.size()) {}
};

}  // namespace iCal

#endif
