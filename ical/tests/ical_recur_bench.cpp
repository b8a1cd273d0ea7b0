// Recurrence expansion throughput: occurrences per second when a mixed set
// of yearly, monthly, weekly and daily rules is expanded over ten years,
// first from fresh rules (no cache) and then again from their caches.
// Prints the median of several runs. Not a test: run it by hand on a quiet
// machine, from a Release build.
//
//   ical_recur_bench [runs] [copies]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarPeriod.h"
#include "ical/CICalendarRecurrence.h"

using iCal::CICalendarDateTime;
using iCal::CICalendarPeriod;
using iCal::CICalendarRecurrence;

namespace {

struct Case {
    const char* rule;
    const char* start;
};

// What calendars hold: time-zone onsets, birthdays, pay days, meetings,
// reminders.
const Case kCases[] = {
    {"FREQ=YEARLY;BYMONTH=3;BYDAY=2SU", "20070311T020000"},
    {"FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU", "19961027T030000"},
    {"FREQ=YEARLY", "19800229"},
    {"FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", "20131128T120000"},
    {"FREQ=MONTHLY;BYMONTHDAY=15", "20130115T090000"},
    {"FREQ=MONTHLY;BYMONTHDAY=-1", "20130131T170000"},
    {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", "20130131T100000"},
    {"FREQ=MONTHLY;BYDAY=1MO,3MO", "20130107T080000"},
    {"FREQ=MONTHLY", "20130131T100000"},
    {"FREQ=WEEKLY;BYDAY=MO,WE,FR", "20130107T093000"},
    {"FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH;WKST=SU", "20130108T140000"},
    {"FREQ=WEEKLY", "20130104T160000"},
    {"FREQ=DAILY", "20130101T073000"},
    {"FREQ=DAILY;BYHOUR=9,13,17", "20130101T090000"},
    {"FREQ=DAILY;INTERVAL=2;COUNT=1000", "20130102T210000"},
    {"FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR", "20130101T083000Z"},
};

CICalendarDateTime Parse(const char* text)
{
    CICalendarDateTime dt;
    dt.FromText(text);
    return dt;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int copies = argc > 2 ? std::max(1, std::atoi(argv[2])) : 40;

    CICalendarPeriod span;
    span.start = Parse("20130101T000000");
    span.end = Parse("20230101T000000");

    std::vector<CICalendarRecurrence> prototypes;
    std::vector<CICalendarDateTime> starts;
    for (const Case& c : kCases) {
        CICalendarRecurrence rule;
        rule.FromText(c.rule);
        prototypes.push_back(rule);
        starts.push_back(Parse(c.start));
    }

    std::vector<double> firstRates;
    std::vector<double> cachedRates;
    size_t occurrencesPerRun = 0;
    for (int run = 0; run < runs; ++run) {
        // Fresh rules: nothing cached.
        std::vector<CICalendarRecurrence> rules;
        for (int copy = 0; copy < copies; ++copy) rules.insert(rules.end(), prototypes.begin(), prototypes.end());
        std::vector<CICalendarDateTime> out;
        out.reserve(1 << 20);

        auto began = std::chrono::steady_clock::now();
        size_t found = 0;
        for (size_t i = 0; i < rules.size(); ++i) {
            out.clear();
            rules[i].Expand(starts[i % starts.size()], span, out);
            found += out.size();
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        firstRates.push_back(static_cast<double>(found) / seconds);
        occurrencesPerRun = found;

        began = std::chrono::steady_clock::now();
        size_t again = 0;
        for (size_t i = 0; i < rules.size(); ++i) {
            out.clear();
            rules[i].Expand(starts[i % starts.size()], span, out);
            again += out.size();
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        cachedRates.push_back(static_cast<double>(again) / seconds);
        if (again != found) {
            std::fprintf(stderr, "cached expansion differs: %zu vs %zu\n", again, found);
            return 1;
        }
    }

    std::printf("rules per run: %zu (%zu kinds x %d), span 2013-2023, %zu occurrences per run, %d runs\n",
                prototypes.size() * static_cast<size_t>(copies), prototypes.size(), copies, occurrencesPerRun, runs);
    std::printf("first expansion:  %.0f occurrences/s (median)\n", Median(firstRates));
    std::printf("cached repeat:    %.0f occurrences/s (median)\n", Median(cachedRates));
    return 0;
}
