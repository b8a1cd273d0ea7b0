#include "ical/CICalendarComponentRecord.h"

#include "ical/CICalendarComponent.h"

namespace iCal {

CICalendarComponentRecord::CICalendarComponentRecord(const CICalendarComponent& component)
    : action(ACTION_CHANGED),
      uid(component.uid),
      sequence(component.sequence),
      rurl(component.rurl),
      etag(component.etag)
{
}

CICalendarComponentRecord::~CICalendarComponentRecord() = default;

}  // namespace iCal
