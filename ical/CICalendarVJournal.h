#ifndef ICAL_CICALENDARVJOURNAL_H
#define ICAL_CICALENDARVJOURNAL_H

#include "ical/CICalendarComponentRecur.h"

namespace iCal {

// VJOURNAL (RFC 5545 section 3.6.3). Holds no nested components.
class CICalendarVJournal : public CICalendarComponentRecur {
public:
    explicit CICalendarVJournal(int32_t calendarRef);
    CICalendarVJournal(const CICalendarVJournal& other) = default;
    ~CICalendarVJournal() override;
    // Caller owns the result.
    static std::unique_ptr<CICalendarComponent> Create(int32_t calendarRef);

    std::unique_ptr<CICalendarComponent> Clone() const override;
    int32_t Kind() const override { return KIND_VJOURNAL; }
    const std::string& BeginLine() const override;
    const std::string& EndLine() const override;
    std::string MimeName() const override { return "vjournal"; }
};

}  // namespace iCal

#endif
