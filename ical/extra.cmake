# Extra targets of the iCalendar library (tools, fuzz driver, benchmarks),
# one fragment per part.
include(${CMAKE_CURRENT_LIST_DIR}/core_targets.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/model_targets.cmake OPTIONAL)
