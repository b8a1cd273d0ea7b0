#ifndef ICAL_CICALENDAREXACTSTRING_H
#define ICAL_CICALENDAREXACTSTRING_H

#include <cstddef>
#include <string>

namespace iCal {

// Copies text into `target`; when that needs a new allocation, it is made
// to the text's size. Assigning into a short string's inline buffer would
// otherwise give it at least twice the inline capacity, and a calendar holds
// a hundred thousand texts of 16 to 29 bytes (addresses, summaries,
// parameter values), each of which would carry a third of unused memory.
inline void AssignExact(std::string& target, const char* data, std::size_t size)
{
    if (size <= target.capacity())
        target.assign(data, size);
    else
        target = std::string(data, size);
}

inline void AssignExact(std::string& target, const std::string& source)
{
    AssignExact(target, source.data(), source.size());
}

}  // namespace iCal

#endif
