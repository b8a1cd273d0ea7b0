#ifndef ICAL_CICALENDARCOMPONENTRECORD_H
#define ICAL_CICALENDARCOMPONENTRECORD_H

#include <cstdint>
#include <string>

namespace iCal {

class CICalendarComponent;

// What a calendar remembers about a changed component (its identity and
// synchronisation tags), kept in CICalendar::changeRecords. A plain value.
class CICalendarComponentRecord {
public:
    // Kind of change of a record made from a changed component.
    static constexpr int32_t ACTION_CHANGED = 2;

    CICalendarComponentRecord() = default;
    // A record of kind ACTION_CHANGED holding the component's identity.
    explicit CICalendarComponentRecord(const CICalendarComponent& component);
    CICalendarComponentRecord(const CICalendarComponentRecord&) = default;
    CICalendarComponentRecord& operator=(const CICalendarComponentRecord&) = default;
    virtual ~CICalendarComponentRecord();

    int32_t action = ACTION_CHANGED;
    std::string uid;
    int32_t sequence = 0;
    std::string rurl;
    std::string etag;
};

}  // namespace iCal

#endif
