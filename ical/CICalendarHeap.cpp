#include "ical/CICalendarHeap.h"

#include <cstdlib>  // defines __GLIBC__ with the C library's name

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace iCal {

bool TuneHeapForCalendars()
{
#if defined(__GLIBC__)
    // A maximum "fast" block size of 0 turns the fast lists off.
    return mallopt(M_MXFAST, 0) == 1;
#else
    return false;
#endif
}

}  // namespace iCal
