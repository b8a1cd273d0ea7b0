#include "ical/CICalendarComponentRecur.h"

#include "ical/CICalendarDateTimeValue.h"
#include "ical/CICalendarValue.h"

namespace iCal {

CICalendarComponentRecur::CICalendarComponentRecur(int32_t calendarRef)
    : CICalendarComponent(calendarRef), master(this)
{
}

CICalendarComponentRecur::CICalendarComponentRecur(const CICalendarComponentRecur& other)
    : CICalendarComponent(other),
      master(other.master != &other ? other.master : this),
      mapKey(other.mapKey),
      summary(other.summary),
      stamp(other.stamp),
      hasStamp(other.hasStamp),
      start(other.start),
      hasStart(other.hasStart),
      end(other.end),
      hasEnd(other.hasEnd),
      durationGiven(other.durationGiven),
      hasRecurrenceId(other.hasRecurrenceId),
      thisAndFuture(other.thisAndFuture),
      thisAndPrior(other.thisAndPrior),
      recurrenceId(other.recurrenceId),
      recurrences(other.recurrences ? std::make_unique<CICalendarRecurrenceSet>(*other.recurrences) : nullptr)
{
}

CICalendarComponentRecur::~CICalendarComponentRecur() = default;

void CICalendarComponentRecur::ComputeMapKey()
{
    mapKey = hasRecurrenceId ? "r:" + uid + recurrenceId.ToText() : "u:" + uid;
}

void CICalendarComponentRecur::CompleteLoad()
{
    CICalendarComponent::CompleteLoad();
    hasStamp = LoadDateTime("DTSTAMP", stamp);
    hasStart = LoadDateTime("DTSTART", start);

    CICalendarDuration duration;
    if (LoadDateTime("DTEND", end)) {
        hasEnd = true;
        durationGiven = false;
    } else if (LoadDuration("DURATION", duration)) {
        end = start.AddDuration(duration);
        durationGiven = true;
    } else {
        end = start;
    }

    // An end before the start is repaired to the next midnight, or for an
    // all-day item to the next day. Example: DTSTART 20130105T100000 with
    // DTEND 20130105T090000 gives 20130106T000000; DTSTART 20130105 with
    // DTEND 20130104 gives 20130106.
    if (hasStart && CICalendarDateTime::CompareDateTime(end, start) < 0)
        EndOnNextDay(start, end, durationGiven);

    LoadText("SUMMARY", summary);

    hasRecurrenceId = LoadDateTime("RECURRENCE-ID", recurrenceId);
    if (hasRecurrenceId) {
        thisAndFuture = false;
        thisAndPrior = false;
        if (const CICalendarProperty* rid = FindProperty("RECURRENCE-ID")) {
            if (const CICalendarAttribute* range = rid->FindAttribute("RANGE")) {
                // RFC 5545 section 3.2.13; compared exactly as stored.
                thisAndFuture = range->FirstValue() == "THISANDFUTURE";
                thisAndPrior = range->FirstValue() == "THISANDPRIOR";
            }
        }
    }
    ComputeMapKey();

    if (HasProperty("RRULE") || HasProperty("RDATE") || HasProperty("EXRULE") || HasProperty("EXDATE")) {
        if (!recurrences)
            recurrences = std::make_unique<CICalendarRecurrenceSet>();
        LoadRules("RRULE", *recurrences, true);
        LoadDates("RDATE", *recurrences, true);
        LoadRules("EXRULE", *recurrences, false);
        LoadDates("EXDATE", *recurrences, false);
    }
}

bool CICalendarComponentRecur::LoadPeriod(const std::string& propName, CICalendarPeriod& period) const
{
    if (CICalendarComponent::LoadPeriod(propName, period))
        return true;
    const CICalendarComponentRecur* m = Fallback();
    return m && m->LoadPeriod(propName, period);
}

bool CICalendarComponentRecur::LoadDuration(const std::string& propName, CICalendarDuration& duration) const
{
    if (CICalendarComponent::LoadDuration(propName, duration))
        return true;
    const CICalendarComponentRecur* m = Fallback();
    return m && m->LoadDuration(propName, duration);
}

bool CICalendarComponentRecur::LoadDateTime(const std::string& propName, CICalendarDateTime& dateTime) const
{
    if (CICalendarComponent::LoadDateTime(propName, dateTime))
        return true;
    const CICalendarComponentRecur* m = Fallback();
    return m && m->LoadDateTime(propName, dateTime);
}

bool CICalendarComponentRecur::LoadText(const std::string& propName, std::string& text) const
{
    if (CICalendarComponent::LoadText(propName, text))
        return true;
    const CICalendarComponentRecur* m = Fallback();
    return m && m->LoadText(propName, text);
}

bool CICalendarComponentRecur::LoadInteger(const std::string& propName, int32_t& number, int32_t type) const
{
    if (CICalendarComponent::LoadInteger(propName, number, type))
        return true;
    const CICalendarComponentRecur* m = Fallback();
    return m && m->LoadInteger(propName, number, type);
}

bool CICalendarComponentRecur::LoadRules(const std::string& propName, CICalendarRecurrenceSet& set, bool include)
{
    if (CICalendarComponent::LoadRules(propName, set, include))
        return true;
    CICalendarComponentRecur* m = master != this ? master : nullptr;
    return m && m->LoadRules(propName, set, include);
}

bool CICalendarComponentRecur::LoadDates(const std::string& propName, CICalendarRecurrenceSet& set, bool include)
{
    if (CICalendarComponent::LoadDates(propName, set, include))
        return true;
    CICalendarComponentRecur* m = master != this ? master : nullptr;
    return m && m->LoadDates(propName, set, include);
}

void CICalendarComponentRecur::AssignUid(const std::string& newUid)
{
    CICalendarComponent::AssignUid(newUid);
    ComputeMapKey();
}

void CICalendarComponentRecur::StampNow()
{
    CICalendarComponent::StampNow();
    hasStamp = LoadDateTime("DTSTAMP", stamp);
}

void CICalendarComponentRecur::RefreshFromMaster()
{
    if (master == nullptr || master == this)
        return;
    CompleteLoad();
    const bool ownStart = HasProperty("DTSTART");
    if (!ownStart)
        start = recurrenceId;
    CICalendarDuration duration;
    if (!HasProperty("DTEND") && !HasProperty("DURATION")) {
        // Keep the master's length.
        end = start.AddDuration(master->end.DifferenceFrom(master->start));
    } else if (HasProperty("DURATION") && !ownStart && LoadDuration("DURATION", duration)) {
        end = start.AddDuration(duration);
    }
}

}  // namespace iCal
