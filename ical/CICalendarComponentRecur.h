#ifndef ICAL_CICALENDARCOMPONENTRECUR_H
#define ICAL_CICALENDARCOMPONENTRECUR_H

#include <memory>
#include <string>

#include "ical/CICalendarComponent.h"
#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarRecurrenceSet.h"

namespace iCal {

// The common part of VEVENT, VTODO and VJOURNAL: start, end, summary, the
// RECURRENCE-ID of an overriding instance (RFC 5545 section 3.8.4.4) with the
// link to its master, and the recurrence set.
// Ownership as CICalendarComponent; `master` is a plain back reference.
class CICalendarComponentRecur : public CICalendarComponent {
public:
    explicit CICalendarComponentRecur(int32_t calendarRef);
    // Copies every field and a deep copy of `recurrences`; `master` is the
    // source's master when that is another component, else the copy itself.
    CICalendarComponentRecur(const CICalendarComponentRecur& other);
    ~CICalendarComponentRecur() override;

    void CompleteLoad() override;

    // An instance without a value of its own answers with its master's.
    bool LoadPeriod(const std::string& propName, CICalendarPeriod& period) const override;
    bool LoadDuration(const std::string& propName, CICalendarDuration& duration) const override;
    bool LoadDateTime(const std::string& propName, CICalendarDateTime& dateTime) const override;
    bool LoadText(const std::string& propName, std::string& text) const override;
    bool LoadInteger(const std::string& propName, int32_t& number, int32_t type) const override;
    bool LoadRules(const std::string& propName, CICalendarRecurrenceSet& set, bool include) override;
    bool LoadDates(const std::string& propName, CICalendarRecurrenceSet& set, bool include) override;

    const std::string& MapKey() const override { return mapKey; }
    std::string MasterKey() const override { return "u:" + uid; }
    void AssignUid(const std::string& newUid) override;
    void StampNow() override;
    bool IsMaster() const override { return !hasRecurrenceId; }

    // Called on an overriding instance once `master` is set: reloads its
    // fields (values it lacks now come from the master), takes its start from
    // RECURRENCE-ID when it has no DTSTART of its own, and keeps the master's
    // length when it has no DTEND or DURATION of its own.
    virtual void RefreshFromMaster();

    // "u:" + uid, or "r:" + uid + the RECURRENCE-ID text.
    void ComputeMapKey();

    CICalendarComponentRecur* master;  // not owned; this when not linked or a master
    std::string mapKey;
    std::string summary;
    CICalendarDateTime stamp;
    bool hasStamp = false;
    CICalendarDateTime start;
    bool hasStart = false;
    CICalendarDateTime end;  // DTEND, or start + DURATION, or start
    bool hasEnd = false;     // DTEND present (DUE for a to-do)
    bool durationGiven = false;
    bool hasRecurrenceId = false;
    bool thisAndFuture = false;
    bool thisAndPrior = false;
    CICalendarDateTime recurrenceId;
    std::unique_ptr<CICalendarRecurrenceSet> recurrences;  // owned; null without RRULE/RDATE/EXRULE/EXDATE

protected:
    // The master to ask when the own lookup finds nothing, or nullptr.
    const CICalendarComponentRecur* Fallback() const
    {
        return master != nullptr && master != this ? master : nullptr;
    }
};

}  // namespace iCal

#endif
