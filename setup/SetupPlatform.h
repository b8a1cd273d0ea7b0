#pragma once

// The system layer of mivo_setup: everything the installer bootstrap asks of
// the operating system goes through SetupPlatform, so that the decision
// sequence (SetupSequence.h) holds no OS call and runs against a fake in the
// tests. The one implementation built here is SetupPlatform_POSIX.cpp.
//
// On POSIX systems:
//   - The registered services are systemd unit files NAME.service in the unit
//     folders, by default /etc/systemd/system, /run/systemd/system,
//     /lib/systemd/system and /usr/lib/systemd/system (earlier folders take
//     precedence for a name found in several). The environment variable
//     MIVO_UNIT_DIRS, a colon-separated list of folders, replaces that list.
//     The service name is NAME; the display name is the unit's Description=
//     (the service name when it has none).
//   - The installer is `msiexec` looked up on PATH.
//   - A message box writes its caption and text to standard output, and the
//     program goes on as if OK had been pressed.
//   - Debug output goes to standard error, only when the environment variable
//     MIVO_DEBUG is set to a non-empty value.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace MivoSetup {

// One registered service as the enumeration reports it.
struct ServiceEntry {
  std::string serviceName;  // the key name a service is registered under
  std::string displayName;  // the human-readable name; never used to match
};

enum class EnumerationStatus {
  COMPLETE,   // every registered service is in the answer
  MORE_DATA,  // the list grew past the answer's room; ask again from the start
  FAILED      // the enumeration itself failed; the answer holds nothing
};

// One answer of the service enumeration. Each answer starts again from the
// first registered service: a MORE_DATA answer is not a cursor but a request
// to query afresh, because the list changed between sizing and filling.
struct ServicePage {
  std::vector<ServiceEntry> services;
  EnumerationStatus status = EnumerationStatus::COMPLETE;
};

// An open connection to the service manager; closed when the object ends.
// Used by the main thread only.
class ServiceControlManager {
 public:
  ServiceControlManager() = default;
  virtual ~ServiceControlManager() = default;
  ServiceControlManager(const ServiceControlManager&) = delete;
  ServiceControlManager& operator=(const ServiceControlManager&) = delete;

  // Every registered service, whatever its state (running, stopped,
  // disabled); drivers and other kinds of unit are not listed.
  virtual ServicePage enumerateServices() = 0;
};

enum class MessageIcon { WARNING, INFORMATION };

// The operating system as mivo_setup sees it. One object for the whole run,
// owned by the entry point and called from the main thread only.
class SetupPlatform {
 public:
  SetupPlatform() = default;
  virtual ~SetupPlatform() = default;
  SetupPlatform(const SetupPlatform&) = delete;
  SetupPlatform& operator=(const SetupPlatform&) = delete;

  // Opens the local service manager with full access. Answers null when it
  // cannot be opened (for example without the rights to it); caller owns the
  // result.
  virtual std::unique_ptr<ServiceControlManager> openServiceManager() = 0;

  // The full path of the running program, with "/" between folders, or an
  // empty string when it cannot be determined. The whole path is returned
  // however long it is; the caller decides whether it fits its buffers.
  virtual std::string programPath() = 0;

  // Starts the installer on one package, waits without a time limit for it
  // to end and answers its exit code; answers nothing when the installer
  // cannot be started at all.
  //
  // Windows gives the installer one parameter string, `/I "<path>"`, which
  // the installer's own command-line parser splits into the option and the
  // path without its quotes. POSIX has no such string: the same two
  // arguments go as two argv entries, "/I" and the path unquoted, so a path
  // with spaces (or even quotes) arrives whole and needs no quoting rule.
  // Requires: packagePath is the full path of the package.
  virtual std::optional<int> runInstaller(const std::string& packagePath) = 0;

  // Shows a message with an OK button and returns once it is dismissed.
  virtual void showMessage(const std::string& caption, const std::string& text,
                           MessageIcon icon) = 0;

  // Diagnostic text for whoever is watching; invisible to the user.
  virtual void debugOutput(const std::string& text) = 0;
};

// The layer of the system the program runs on; caller owns the result.
std::unique_ptr<SetupPlatform> createSystemPlatform();

}  // namespace MivoSetup
