// mivo_setup: started by the administrator from the installation medium. It
// warns when the service of an earlier installation is registered, runs the
// two installation packages from the msi folder beside it in turn, and says
// what to do next. See setup/README.md for the environment it reads.

#include <cstdio>
#include <exception>

#include "setup/SetupPlatform.h"
#include "setup/SetupSequence.h"

int main() {
  // Nobody reads the exit code of a program started from the installation
  // medium; what the administrator must know is in the messages. So the code
  // is 0 whatever happens, and an unexpected failure is only reported.
  try {
    std::unique_ptr<MivoSetup::SetupPlatform> platform = MivoSetup::createSystemPlatform();
    return MivoSetup::runSetup(*platform);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mivo_setup: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "mivo_setup: unexpected failure\n");
  }
  return 0;
}
