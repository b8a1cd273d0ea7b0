// Read + write throughput of the iCalendar library on whole calendars, and
// the peak memory of one read + write. Not a test.
//
//   ical_rw_bench FILE...           throughput per file, with the heap set
//                                   up as the programs do it and with the
//                                   C library's default
//   ical_rw_bench --memory FILE     peak resident memory growth of one
//                                   read (from the file) + write (discarded)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

#include "ical/CICalendar.h"
#include "ical/CICalendarHeap.h"
#include "ical/CICalendarTextLine.h"
#include "ical/CICalendarViewBuffer.h"

namespace {

using iCal::CICalendarViewBuffer;

// Swallows what is written, so that memory shows the library's own use.
class NullBuffer : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int overflow(int c) override { return c; }
};

// Appends what is written to a string reserved once, as a file stream hands
// bytes to the system without growing a buffer.
class StringSink : public std::streambuf {
public:
    explicit StringSink(std::string& target) : target(target) {}

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        target.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int overflow(int c) override
    {
        if (c != traits_type::eof())
            target.push_back(static_cast<char>(c));
        return c;
    }

private:
    std::string& target;
};

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long CurrentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

std::size_t CountComponents(const iCal::CICalendar& calendar)
{
    std::size_t n = 0;
    for (const iCal::CICalendarComponentDB* db :
         {&calendar.events, &calendar.todos, &calendar.journals, &calendar.freeBusys, &calendar.timezones})
        for (const auto& entry : *db)
            n += 1 + entry.second->embedded.size();
    return n;
}

int Memory(const char* path)
{
    const long before = CurrentKiB();
    std::size_t size = 0;
    {
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        size = static_cast<std::size_t>(file.tellg());
        file.seekg(0);
        const std::size_t heapBefore = mallinfo2().uordblks;
        iCal::CICalendar calendar;
        calendar.Read(file);
        std::printf("%s: heap in use after reading %.1f MiB = %.2f x file size (%zu components)\n", path,
                    static_cast<double>(mallinfo2().uordblks - heapBefore) / 1048576.0,
                    static_cast<double>(mallinfo2().uordblks - heapBefore) / static_cast<double>(size),
                    CountComponents(calendar));
        NullBuffer sink;
        std::ostream out(&sink);
        calendar.Write(out, false);
    }
    const long peak = PeakKiB();
    std::printf("%s: %zu bytes, peak memory growth %.1f MiB = %.2f x file size\n", path, size,
                (peak - before) / 1024.0, (peak - before) * 1024.0 / static_cast<double>(size));
    return 0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The baseline measured beside every calendar: the same text unfolded line
// by line and folded back into the output, with no objects built. It is the
// part of a round that no object model can save.
double LinesOnly(const std::string& text, std::string& output)
{
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    CICalendarViewBuffer view(text);
    std::istream in(&view);
    std::string lookahead;
    std::string line;
    output.clear();
    while (iCal::ReadUnfoldedLine(in, lookahead, line))
        iCal::AppendFoldedLine(output, line);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The median times of the rounds run with one heap setting.
struct Rounds {
    std::vector<double> reads, writes, destroys, totals;
};

// The C library's own maximum size of a "fast" freed block (64-bit).
constexpr int kDefaultMaxFast = 128;

void Throughput(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Rounds tuned, plain;
    std::vector<double> baseline;
    std::size_t components = 0;
    std::size_t written = 0;
    using Clock = std::chrono::steady_clock;
    auto since = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
    std::string output;
    output.reserve(text.size() * 2);
    // A round is what the backup does with one calendar: read, write,
    // destroy.
    auto round = [&](Rounds& into) {
        const auto t0 = Clock::now();
        double writeEnd = 0;
        {
            iCal::CICalendar calendar;
            CICalendarViewBuffer view(text);
            std::istream in(&view);
            calendar.Read(in);
            into.reads.push_back(since(t0));
            output.clear();
            StringSink sink(output);
            std::ostream out(&sink);
            calendar.Write(out, false);
            writeEnd = since(t0);
            into.writes.push_back(writeEnd - into.reads.back());
            written = output.size();
            components = CountComponents(calendar);
        }
        into.totals.push_back(since(t0));
        into.destroys.push_back(into.totals.back() - writeEnd);
        return into.totals.back();
    };

    // Each heap setting gets a block of rounds of its own: a round leaves
    // freed blocks for the heap to merge later, and that deferred work
    // belongs to the setting's own next round. The first round of a block
    // starts on a clean heap, so it is run but not counted. At least seven
    // counted rounds and at least three seconds per block; the medians are
    // reported, as the machine may be shared.
    auto block = [&](Rounds& into) {
        Rounds warmUp;
        round(warmUp);
        double elapsed = 0;
        while (into.totals.size() < 7 || elapsed < 3.0)
            elapsed += round(into);
    };
    mallopt(M_MXFAST, kDefaultMaxFast);
    block(plain);
    iCal::TuneHeapForCalendars();
    block(tuned);
    // The baseline runs apart from the rounds: run between them, it would
    // pay for the heap's deferred merging of the blocks a round freed.
    for (std::size_t i = 0; i < tuned.totals.size(); ++i)
        baseline.push_back(LinesOnly(text, output));

    std::printf("%s: %zu bytes in, %zu out, %zu components, %zu + %zu rounds\n", path, text.size(), written,
                components, tuned.totals.size(), plain.totals.size());
    auto report = [&](const char* heap, const Rounds& r) {
        const double perRound = Median(r.totals);
        std::printf("%s: %s: median read %.1f ms, write %.1f ms, destroy %.1f ms\n", path, heap,
                    Median(r.reads) * 1000.0, Median(r.writes) * 1000.0, Median(r.destroys) * 1000.0);
        std::printf("%s: %s: median round (read + write + destroy) %.1f ms: %.1f MB/s, %.0f components/s\n", path,
                    heap, perRound * 1000.0, static_cast<double>(text.size()) / perRound / 1e6,
                    static_cast<double>(components) / perRound);
    };
    report("heap as the programs set it", tuned);
    report("C library's default heap", plain);
    std::printf("%s: baseline, the lines alone (unfold + fold, no objects) %.1f ms: %.1f MB/s\n", path,
                Median(baseline) * 1000.0, static_cast<double>(text.size()) / Median(baseline) / 1e6);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) {
        iCal::TuneHeapForCalendars();
        return Memory(argv[2]);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: ical_rw_bench FILE... | ical_rw_bench --memory FILE\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        Throughput(argv[i]);
    return 0;
}
