// mivo_ical: reads an iCalendar file the way the calendar backup does and
// shows what the library makes of it. For administrators.
//
//   mivo_ical normalize [--backup] [FILE|-]
//   mivo_ical expand --from DATETIME --to DATETIME [FILE|-]
//   mivo_ical tzoffset TZID DATETIME [FILE|-]
//
// Exit codes: 0 the reader accepted the text, 1 it rejected it (the output
// is still produced), 2 usage error or unreadable input.

#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ical/CICalendar.h"
#include "ical/CICalendarComponentRecur.h"
#include "ical/CICalendarDateTime.h"
#include "ical/CICalendarHeap.h"
#include "ical/CICalendarPeriod.h"

namespace {

constexpr int EXIT_ACCEPTED = 0;
constexpr int EXIT_REJECTED = 1;
constexpr int EXIT_USAGE = 2;

// The calendar-level properties the backup removes before writing.
const char* const BACKUP_REMOVED[] = {
    "X-RIZIDEDI-PRIVATE-METHOD", "X-RIZIDEDI-PRIVATE-RURL", "X-RIZIDEDI-PRIVATE-ETAG",
    "X-RIZIDEDI-SPEAK-TEXT",     "X-RIZIDEDI-LAST-TRIGGER", "X-RIZIDEDI-ALARM-STATUS",
    "PENDING",                   "COMPLETED",               "DISABLED",
    "X-RIZIDEDI-IDENTITY",       "X-RIZIDEDI-NEEDS-ITIP",
};

const char* const USAGE_MAIN =
    "Usage: mivo_ical COMMAND [OPTIONS] [FILE|-]\n"
    "Reads an iCalendar file (standard input when FILE is - or missing).\n"
    "\n"
    "Commands:\n"
    "  normalize [--backup] [FILE|-]                  write the calendar as the system writes it\n"
    "  expand --from DATETIME --to DATETIME [FILE|-]  list occurrences of recurring items\n"
    "  tzoffset TZID DATETIME [FILE|-]                UTC offset in seconds at a local time\n"
    "\n"
    "Run 'mivo_ical COMMAND --help' for details.\n"
    "Exit status: 0 text accepted, 1 text rejected by the reader, 2 usage error or unreadable file.\n";

const char* const USAGE_NORMALIZE =
    "Usage: mivo_ical normalize [--backup] [FILE|-]\n"
    "Writes the calendar to standard output exactly as this system writes calendars.\n"
    "  --backup   also remove the calendar-level properties that the backup removes\n"
    "Exit status: 0 text accepted, 1 text rejected (the output is still written),\n"
    "2 usage error or unreadable file.\n";

const char* const USAGE_EXPAND =
    "Usage: mivo_ical expand --from DATETIME --to DATETIME [FILE|-]\n"
    "For every recurring VEVENT, VTODO and VJOURNAL master, prints its occurrences\n"
    "in [from, to), one per line: the UID, a tab, the occurrence.\n"
    "DATETIME is an iCalendar date or date-time: YYYYMMDD, YYYYMMDDTHHMMSS or YYYYMMDDTHHMMSSZ.\n"
    "Exit status: 0 text accepted, 1 text rejected, 2 usage error or unreadable file.\n";

const char* const USAGE_TZOFFSET =
    "Usage: mivo_ical tzoffset TZID DATETIME [FILE|-]\n"
    "Reads the file (its VTIMEZONEs become known) and prints the UTC offset in\n"
    "seconds in force at the local time DATETIME (YYYYMMDDTHHMMSS) in zone TZID.\n"
    "An unknown TZID gives 0 and a warning.\n"
    "Exit status: 0 text accepted, 1 text rejected, 2 usage error or unreadable file.\n";

int UsageError(const std::string& message, const char* command)
{
    std::cerr << "mivo_ical: " << message << " (see 'mivo_ical " << command << "--help')\n";
    return EXIT_USAGE;
}

// YYYYMMDD, YYYYMMDDTHHMMSS or YYYYMMDDTHHMMSSZ, with plausible fields.
bool ParseDateTime(const std::string& text, iCal::CICalendarDateTime& out)
{
    const std::size_t n = text.size();
    if (n != 8 && n != 15 && n != 16)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (i == 8) {
            if (text[i] != 'T')
                return false;
        } else if (i == 15) {
            if (text[i] != 'Z')
                return false;
        } else if (!digit) {
            return false;
        }
    }
    iCal::CICalendarDateTime dt;
    dt.FromText(text);
    if (dt.month < 1 || dt.month > 12 || dt.day < 1 || dt.day > 31 || dt.hours > 23 || dt.minutes > 59 ||
        dt.seconds > 59)
        return false;
    out = dt;
    return true;
}

// Reads the whole input into the calendar. False (with a message) when the
// file cannot be opened or read.
bool ReadInput(const std::string& path, iCal::CICalendar& calendar, bool& accepted)
{
    if (path.empty() || path == "-") {
        accepted = calendar.Read(std::cin);
        if (std::cin.bad()) {
            std::cerr << "mivo_ical: cannot read standard input\n";
            return false;
        }
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "mivo_ical: cannot open '" << path << "'\n";
        return false;
    }
    // A directory opens but cannot be read.
    file.peek();
    if (file.bad()) {
        std::cerr << "mivo_ical: cannot read '" << path << "'\n";
        return false;
    }
    file.clear();
    accepted = calendar.Read(file);
    if (file.bad()) {
        std::cerr << "mivo_ical: cannot read '" << path << "'\n";
        return false;
    }
    return true;
}

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

int Normalize(const std::vector<std::string>& args)
{
    bool backup = false;
    std::string path;
    bool havePath = false;
    for (const std::string& arg : args) {
        if (IsHelp(arg)) {
            std::cout << USAGE_NORMALIZE;
            return EXIT_ACCEPTED;
        }
        if (arg == "--backup" && !havePath) {
            backup = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option '" + arg + "'", "normalize ");
        } else if (havePath) {
            return UsageError("more than one input file", "normalize ");
        } else {
            path = arg;
            havePath = true;
        }
    }
    iCal::CICalendar calendar;
    bool accepted = false;
    if (!ReadInput(path, calendar, accepted))
        return EXIT_USAGE;
    if (backup) {
        for (const char* name : BACKUP_REMOVED)
            calendar.RemoveProperties(name);
    }
    calendar.Write(std::cout, false);
    std::cout.flush();
    return accepted ? EXIT_ACCEPTED : EXIT_REJECTED;
}

int Expand(const std::vector<std::string>& args)
{
    std::string path;
    bool havePath = false;
    bool haveFrom = false;
    bool haveTo = false;
    iCal::CICalendarDateTime from;
    iCal::CICalendarDateTime to;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg)) {
            std::cout << USAGE_EXPAND;
            return EXIT_ACCEPTED;
        }
        if (arg == "--from" || arg == "--to") {
            if (i + 1 >= args.size())
                return UsageError(arg + " needs a date-time", "expand ");
            iCal::CICalendarDateTime& target = arg == "--from" ? from : to;
            if (!ParseDateTime(args[i + 1], target))
                return UsageError("invalid date-time '" + args[i + 1] +
                                      "' (expected YYYYMMDD, YYYYMMDDTHHMMSS or YYYYMMDDTHHMMSSZ)",
                                  "expand ");
            (arg == "--from" ? haveFrom : haveTo) = true;
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option '" + arg + "'", "expand ");
        } else if (havePath) {
            return UsageError("more than one input file", "expand ");
        } else {
            path = arg;
            havePath = true;
        }
    }
    if (!haveFrom || !haveTo)
        return UsageError("expand needs --from and --to", "expand ");
    if (iCal::CICalendarDateTime::CompareDateTime(from, to) >= 0)
        return UsageError("--to must be later than --from", "expand ");

    iCal::CICalendar calendar;
    bool accepted = false;
    if (!ReadInput(path, calendar, accepted))
        return EXIT_USAGE;
    const iCal::CICalendarPeriod span(from, to);
    std::string out;
    for (iCal::CICalendarComponentDB* db : {&calendar.events, &calendar.todos, &calendar.journals}) {
        for (auto& entry : *db) {
            auto* recur = dynamic_cast<iCal::CICalendarComponentRecur*>(entry.second.get());
            if (!recur || !recur->IsMaster() || !recur->recurrences)
                continue;
            std::vector<iCal::CICalendarDateTime> occurrences;
            recur->recurrences->ExpandSet(recur->start, span, occurrences);
            for (const iCal::CICalendarDateTime& occurrence : occurrences) {
                out += recur->uid;
                out += '\t';
                out += occurrence.ToText();
                out += '\n';
            }
        }
    }
    std::cout << out;
    std::cout.flush();
    return accepted ? EXIT_ACCEPTED : EXIT_REJECTED;
}

int TzOffset(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    for (const std::string& arg : args) {
        if (IsHelp(arg)) {
            std::cout << USAGE_TZOFFSET;
            return EXIT_ACCEPTED;
        }
        if (arg.size() > 1 && arg[0] == '-')
            return UsageError("unknown option '" + arg + "'", "tzoffset ");
        positional.push_back(arg);
    }
    if (positional.size() < 2)
        return UsageError("tzoffset needs TZID and DATETIME", "tzoffset ");
    if (positional.size() > 3)
        return UsageError("more than one input file", "tzoffset ");
    iCal::CICalendarDateTime at;
    if (!ParseDateTime(positional[1], at) || positional[1].size() != 15)
        return UsageError("invalid local date-time '" + positional[1] + "' (expected YYYYMMDDTHHMMSS)",
                          "tzoffset ");
    iCal::CICalendar calendar;
    bool accepted = false;
    if (!ReadInput(positional.size() == 3 ? positional[2] : std::string(), calendar, accepted))
        return EXIT_USAGE;
    const std::string& tzid = positional[0];
    if (iCal::CICalendar::TimezoneDatabase().timezones.count(tzid) == 0)
        std::cerr << "mivo_ical: warning: time zone '" << tzid << "' is not defined in the input; offset 0\n";
    std::cout << iCal::CICalendar::ZoneOffset(tzid, at) << '\n';
    std::cout.flush();
    return accepted ? EXIT_ACCEPTED : EXIT_REJECTED;
}

}  // namespace

int main(int argc, char** argv)
{
    iCal::TuneHeapForCalendars();
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << "mivo_ical: missing command (see 'mivo_ical --help')\n";
        return EXIT_USAGE;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (IsHelp(command)) {
        std::cout << USAGE_MAIN;
        return EXIT_ACCEPTED;
    }
    if (command == "normalize")
        return Normalize(args);
    if (command == "expand")
        return Expand(args);
    if (command == "tzoffset")
        return TzOffset(args);
    std::cerr << "mivo_ical: unknown command '" << command << "' (see 'mivo_ical --help')\n";
    return EXIT_USAGE;
}
