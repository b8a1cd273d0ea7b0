#include "ical/CICalendarDuration.h"

#include <limits>

namespace iCal {

namespace {

const int64_t kWeek = 604800;
const int64_t kDay = 86400;

// Reads an unsigned decimal number at pos. False when the number does not
// fit an int32 (the parse then stops); no digits read as 0.
bool ReadCount(const std::string& text, size_t& pos, int32_t& value)
{
    int64_t n = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        n = n * 10 + (text[pos] - '0');
        if (n > std::numeric_limits<int32_t>::max()) return false;
        ++pos;
    }
    value = static_cast<int32_t>(n);
    return true;
}

int32_t Saturate(uint64_t n)
{
    const uint64_t max = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(n > max ? max : n);
}

}  // namespace

int64_t CICalendarDuration::TotalSeconds() const
{
    const int64_t total =
        ((int64_t{weeks} * 10080 + int64_t{days} * 1440 + int64_t{hours} * 60 + minutes) * 60) + seconds;
    return forward ? total : -total;
}

void CICalendarDuration::FromSeconds(int64_t totalSeconds)
{
    forward = totalSeconds >= 0;
    // |INT64_MIN| does not fit an int64; take the magnitude unsigned.
    const uint64_t a = forward ? static_cast<uint64_t>(totalSeconds)
                               : uint64_t{0} - static_cast<uint64_t>(totalSeconds);
    if (a % kWeek == 0) {
        weeks = Saturate(a / kWeek);
        days = hours = minutes = seconds = 0;
        return;
    }
    weeks = 0;
    days = Saturate(a / kDay);
    hours = static_cast<int32_t>((a / 3600) % 24);
    minutes = static_cast<int32_t>((a / 60) % 60);
    seconds = static_cast<int32_t>(a % 60);
}

void CICalendarDuration::FromText(const std::string& text)
{
    size_t pos = 0;
    forward = true;
    if (pos < text.size() && text[pos] == '-') {
        forward = false;
        ++pos;
    } else if (pos < text.size() && text[pos] == '+') {
        ++pos;
    }
    if (pos >= text.size() || text[pos] != 'P') return;
    ++pos;

    int32_t n = 0;
    if (pos >= text.size() || text[pos] != 'T') {
        if (!ReadCount(text, pos, n)) return;
        if (pos < text.size() && text[pos] == 'W') {
            weeks = n;
            return;
        }
        if (pos >= text.size() || text[pos] != 'D') return;
        days = n;
        ++pos;
        if (pos >= text.size() || text[pos] != 'T') return;
    }
    ++pos;  // the "T"
    if (!ReadCount(text, pos, n)) return;
    if (pos < text.size() && text[pos] == 'H') {
        hours = n;
        ++pos;
        if (pos >= text.size()) return;
        if (!ReadCount(text, pos, n)) return;
    }
    if (pos < text.size() && text[pos] == 'M') {
        minutes = n;
        ++pos;
        if (pos >= text.size()) return;
        if (!ReadCount(text, pos, n)) return;
    }
    if (pos < text.size() && text[pos] == 'S') seconds = n;
}

std::string CICalendarDuration::ToText() const
{
    std::string out;
    if (!forward) out += '-';
    out += 'P';
    if (weeks != 0) {
        out += std::to_string(weeks);
        out += 'W';
        return out;
    }
    if (days != 0) {
        out += std::to_string(days);
        out += 'D';
    }
    if (hours != 0 || minutes != 0 || seconds != 0) {
        out += 'T';
        if (hours != 0) {
            out += std::to_string(hours);
            out += 'H';
        }
        if (minutes != 0 || (hours != 0 && seconds != 0)) {
            out += std::to_string(minutes);
            out += 'M';
        }
        if (seconds != 0) {
            out += std::to_string(seconds);
            out += 'S';
        }
    }
    return out;
}

std::ostream& operator<<(std::ostream& stream, const CICalendarDuration& duration)
{
    return stream << duration.ToText();
}

}  // namespace iCal
