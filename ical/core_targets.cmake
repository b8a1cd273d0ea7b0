# Targets of the value core: the recurrence expansion benchmark.
if(MIVO_BENCHMARKS)
  add_executable(ical_recur_bench ${CMAKE_CURRENT_LIST_DIR}/tests/ical_recur_bench.cpp)
  target_link_libraries(ical_recur_bench PRIVATE mivo_icallib)
endif()
