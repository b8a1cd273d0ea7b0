#pragma once

#include <Poco/LocalDateTime.h>

namespace Pelu {

// Writes every user's stored calendar (users with status 0 or more that
// have a calendar row with text) to "<day>/<id>.ics" below the backup
// folder, as this system writes iCalendar text, without the private
// calendar-level bookkeeping properties that the sync commands add.
//
// Runs on the main task's timer thread. The day text is fixed at the start
// of the run, so a run that passes midnight writes into one folder. Errors
// (database, day folder, file) end the run and reach the caller; the
// timer absorbs them and keeps its schedule.
void RunCalendarBackup();

// The same with the run's start time passed in.
void RunCalendarBackup(const Poco::LocalDateTime& start);

}  // namespace Pelu
