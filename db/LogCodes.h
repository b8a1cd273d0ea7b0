#pragma once

#include <string>

// The events the service records in the log databases. Administrators and
// the other programs of the installation read these records, so codes and
// messages never change.

namespace Pelu::DB {

// `type` and `level` of every event record of the service.
constexpr int EVENT_LOG_TYPE = 30;
constexpr int EVENT_LOG_LEVEL = 30;

// One event: its four-digit number and its message.
struct LogEvent {
  const char* number;
  const char* message;
};

constexpr LogEvent EVENT_SERVICE_START{"0001", "service starting up."};        // users id 0
constexpr LogEvent EVENT_SERVICE_STOP{"0002", "server shutting down."};        // users id 0
constexpr LogEvent EVENT_SYNC_START{"0101", "veviza sync start."};             // the user
constexpr LogEvent EVENT_SYNC_END{"0102", "veviza sync end."};                 // the user
constexpr LogEvent EVENT_SYNC_SKIPPED{"0103", "user data is locked. sync process skip!"};  // the user
constexpr LogEvent EVENT_BACKUP_START{"0201", "backup start."};                // users id 0
constexpr LogEvent EVENT_BACKUP_END{"0202", "backup end."};                    // users id 0
constexpr LogEvent EVENT_BACKUP_FILE_CREATED{"0203", "backup ics file created."};  // the user
// The expired file removal adds the removed folder to these two messages.
constexpr LogEvent EVENT_BACKUP_REMOVED{"0204", "backup removed."};            // users id 0
constexpr LogEvent EVENT_LOG_REMOVED{"0205", "log removed."};                  // users id 0

// The record code of an event number: "10" (this service) + "00" + the
// number, e.g. "0101" gives "10000101".
inline std::string logCode(const std::string& eventNumber) { return std::string("10") + "00" + eventNumber; }
inline std::string logCode(const LogEvent& event) { return logCode(std::string(event.number)); }

}  // namespace Pelu::DB
