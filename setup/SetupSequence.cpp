#include "setup/SetupSequence.h"

#include <memory>
#include <optional>
#include <string>

namespace MivoSetup {

namespace {

// True when a text of `length` bytes and its terminating NUL fit the buffer.
bool fitsBuffer(std::size_t length) { return length < FILE_NAME_BUFFER; }

}  // namespace

bool service_installed(SetupPlatform& platform) {
  // Closed on every way out, also when the service is found.
  std::unique_ptr<ServiceControlManager> manager = platform.openServiceManager();
  if (!manager) return false;

  for (int round = 0; round < MAX_ENUMERATION_ROUNDS; ++round) {
    const ServicePage page = manager->enumerateServices();
    for (const ServiceEntry& entry : page.services) {
      platform.debugOutput("lpServiceName:" + entry.serviceName + "\n");
      platform.debugOutput("lpDisplayName:" + entry.displayName + "\n");
      if (entry.serviceName == SERVICE_NAME) return true;
    }
    if (page.status != EnumerationStatus::MORE_DATA) return false;
  }
  platform.debugOutput("service list still changing; giving up the search\n");
  return false;
}

std::string installerParameters(const std::string& packagePath) {
  return "/I \"" + packagePath + "\"";
}

bool run_package(SetupPlatform& platform, const std::string& relativePackage) {
  const std::string program = platform.programPath();
  if (program.empty()) {
    platform.debugOutput("cannot determine the program's own path\n");
    return false;
  }
  if (!fitsBuffer(program.size())) {
    platform.debugOutput("program path longer than the file-name buffer\n");
    return false;
  }

  // The folder part keeps its trailing "/"; the program's file name gives
  // way to the package's relative path.
  const std::string::size_type slash = program.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
  const std::string packagePath = folder + relativePackage;
  const std::string parameters = installerParameters(packagePath);
  if (!fitsBuffer(packagePath.size()) || !fitsBuffer(parameters.size())) {
    platform.debugOutput("package path longer than the file-name buffer: " + packagePath + "\n");
    return false;
  }

  platform.debugOutput("msiexec " + parameters + "\n");
  const std::optional<int> exitCode = platform.runInstaller(packagePath);
  if (!exitCode) {
    platform.debugOutput("msiexec could not be started\n");
    return false;
  }
  platform.debugOutput("msiexec exit code " + std::to_string(*exitCode) + "\n");
  return *exitCode == 0;
}

int runSetup(SetupPlatform& platform) {
  const bool found = service_installed(platform);
  // A warning only: the administrator may have stopped the service already.
  if (found) platform.showMessage(CAPTION, TEXT_UPDATE_WARNING, MessageIcon::WARNING);

  // A failed or cancelled package has shown its own error; the second
  // package must never run after the first failed.
  if (!run_package(platform, FIRST_PACKAGE)) return 0;
  platform.showMessage(CAPTION, TEXT_FIRST_PACKAGE_DONE, MessageIcon::INFORMATION);

  if (!run_package(platform, SECOND_PACKAGE)) return 0;
  platform.showMessage(CAPTION, found ? TEXT_FINISHED_UPDATE : TEXT_FINISHED_NEW,
                       MessageIcon::INFORMATION);
  return 0;
}

}  // namespace MivoSetup
