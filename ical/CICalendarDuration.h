#ifndef ICAL_CICALENDARDURATION_H
#define ICAL_CICALENDARDURATION_H

#include <cstdint>
#include <ostream>
#include <string>

namespace iCal {

// A signed length of time in weeks, days, hours, minutes and seconds: the
// DURATION value of RFC 5545 section 3.3.6. A plain copyable value.
//
// Days count as 86 400 seconds here; adding a duration to a date-time moves
// its wall-clock fields (see CICalendarDateTime::AddDuration).
//
// Text forms (basic format):
//   "PT15M"   -> forward, 15 minutes          "-P1D" -> backwards, 1 day
//   "P1W"     -> 1 week                        "P1DT1H" -> 1 day 1 hour
//   "PT1H0M5S" is how 3 605 seconds is written (minutes appear between
//   hours and seconds); an all-zero duration is written "P".
class CICalendarDuration {
public:
    CICalendarDuration() = default;
    CICalendarDuration(const CICalendarDuration&) = default;
    CICalendarDuration& operator=(const CICalendarDuration&) = default;
    virtual ~CICalendarDuration() = default;

    // Signed total in seconds: ((weeks*10080 + days*1440 + hours*60 +
    // minutes)*60 + seconds), negated when not forward. Computed in 64 bits:
    // counts read from text may reach 2^31-1 each, so the total stays below
    // 2^31 * 6.1 * 10^5 < 2^51.
    int64_t TotalSeconds() const;

    // Sets the duration from a signed count of seconds. A whole number of
    // weeks is kept as weeks (604 800 -> P1W), anything else as days, hours,
    // minutes and seconds (90 000 -> P1DT1H). Zero gives "P", forward.
    void FromSeconds(int64_t totalSeconds);
    static CICalendarDuration Seconds(int64_t totalSeconds)
    {
        CICalendarDuration d;
        d.FromSeconds(totalSeconds);
        return d;
    }

    // Reads the DURATION text. Counts the text does not name keep their
    // previous values; a malformed text leaves what was read so far
    // ("P1W2D" reads one week and stops). Never fails.
    void FromText(const std::string& text);
    std::string ToText() const;

    bool forward = true;   // false when the text has a leading "-"
    int32_t weeks = 0;     // when non-zero, the text form holds weeks only
    int32_t days = 0;
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
};

std::ostream& operator<<(std::ostream& stream, const CICalendarDuration& duration);

}  // namespace iCal

#endif
