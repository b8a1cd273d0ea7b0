#ifndef ICAL_CICALENDARZONEOFFSET_H
#define ICAL_CICALENDARZONEOFFSET_H

#include <cstdint>
#include <string>

namespace iCal {

class CICalendarDateTime;

// The UTC offset (seconds east of UTC) in effect at a local wall-clock time
// in the zone named tzid. CICalendarDateTime::EpochSeconds asks it for every
// date-time that carries a TZID.
//
// The answer comes from one process-wide hook that the time-zone database
// installs when it is created; without a hook (or for an unknown TZID) the
// answer is 0, i.e. the wall-clock time is read as UTC.
using ZoneOffsetHook = int32_t (*)(const std::string& tzid, const CICalendarDateTime& dateTime);

// Installs the hook; nullptr restores the answer 0. Set once at start-up,
// before the library is used (the library is used by one thread at a time).
void SetZoneOffsetHook(ZoneOffsetHook hook);

int32_t ZoneOffset(const std::string& tzid, const CICalendarDateTime& dateTime);

}  // namespace iCal

#endif
