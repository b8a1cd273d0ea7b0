#include "ical/CICalendarZoneOffset.h"

namespace iCal {

namespace {

// Set once at start-up by the time-zone database; see the header.
ZoneOffsetHook zoneOffsetHook = nullptr;

}  // namespace

void SetZoneOffsetHook(ZoneOffsetHook hook)
{
    zoneOffsetHook = hook;
}

int32_t ZoneOffset(const std::string& tzid, const CICalendarDateTime& dateTime)
{
    return zoneOffsetHook != nullptr ? zoneOffsetHook(tzid, dateTime) : 0;
}

}  // namespace iCal
