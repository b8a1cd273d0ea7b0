#include "ical/CICalendarHeap.h"
#include "service/PeluServer.h"

#include <Poco/Exception.h>

#include <iostream>

int main(int argc, char** argv) {
  // The daily backup reads and frees every user's calendar.
  iCal::TuneHeapForCalendars();
  try {
    Pelu::PeluServer server;
    return server.run(argc, argv);
  } catch (const Poco::Exception& e) {
    std::cerr << e.displayText() << std::endl;
    return Poco::Util::Application::EXIT_SOFTWARE;
  }
}
