#include "ical/CICalendarHeap.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <vector>

namespace {

TEST(CICalendarHeap, SmallFreedBlocksAreMergedAtOnceOnceTuned)
{
    if (!iCal::TuneHeapForCalendars())
        GTEST_SKIP() << "this heap has no such setting (a sanitizer's heap, or another C library)";
    // Blocks of the sizes a calendar's values have, freed as a destroy
    // frees them: none may stay parked in the fast lists.
    std::vector<void*> blocks;
    for (int i = 0; i < 1000; ++i)
        blocks.push_back(std::malloc(static_cast<std::size_t>(24 + (i % 4) * 16)));
    for (void* block : blocks)
        std::free(block);
    EXPECT_EQ(mallinfo2().fsmblks, 0u);
}

}  // namespace
