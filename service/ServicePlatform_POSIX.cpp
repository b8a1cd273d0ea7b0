#include "service/ServicePlatform.h"

#include <pthread.h>
#include <signal.h>

namespace Pelu {
namespace {

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGQUIT);
  return set;
}

// Runs in a forked child before it executes the sync command: a blocked
// signal mask survives exec, and an administrator must still be able to
// stop a hanging command with SIGTERM.
void unblockInChild() {
  sigset_t set = stopSignals();
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

void holdStopSignals() {
  // The framework blocks these only in the thread that waits for them, and
  // only once it starts waiting. A signal that arrives earlier, or that the
  // kernel hands to a worker or timer thread, would take the default action
  // and kill the service in the middle of its work. Blocking them before
  // any thread exists makes every thread inherit the block, so the signal
  // stays pending until the main thread's wait collects it.
  sigset_t set = stopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  static bool registered = false;
  if (!registered) {
    pthread_atfork(nullptr, nullptr, unblockInChild);
    registered = true;
  }
}

}  // namespace Pelu
