# Targets of the object model: the mivo_ical tool, the fuzz regression test,
# the read/write benchmark.

add_executable(mivo_ical ${CMAKE_CURRENT_LIST_DIR}/tools/mivo_ical.cpp)
target_link_libraries(mivo_ical PRIVATE mivo_icallib)

# The fuzz entry point run over the seed corpus by a plain driver (no fuzzing
# engine needed). The libFuzzer build is separate: see ical/README.md.
add_executable(ical_fuzz_driver ${CMAKE_CURRENT_LIST_DIR}/fuzz/ical_fuzz_driver.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/fuzz/ical_fuzz_target.cpp)
target_link_libraries(ical_fuzz_driver PRIVATE mivo_icallib Poco::Foundation)
add_test(NAME ical_fuzz_corpus
         COMMAND ical_fuzz_driver ${CMAKE_CURRENT_LIST_DIR}/tests/fuzz_corpus
                                  ${CMAKE_CURRENT_LIST_DIR}/tests/fixtures)
set_tests_properties(ical_fuzz_corpus PROPERTIES TIMEOUT 60)

if(MIVO_BENCHMARKS)
  add_executable(ical_rw_bench ${CMAKE_CURRENT_LIST_DIR}/tests/ical_rw_bench.cpp)
  target_link_libraries(ical_rw_bench PRIVATE mivo_icallib)
endif()

if(TARGET ical_tests)
  target_compile_definitions(ical_tests PRIVATE
    ICAL_FIXTURE_DIR="${CMAKE_CURRENT_LIST_DIR}/tests/fixtures"
    MIVO_ICAL_BIN="$<TARGET_FILE:mivo_ical>")
  add_dependencies(ical_tests mivo_ical)
endif()
