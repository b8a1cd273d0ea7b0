# Date-time, duration, period, time-zone reference, values, recurrence.
list(APPEND ICAL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarSharedString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarZoneOffset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarDuration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarDateTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarPeriod.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarRecurrence.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarRecurrenceSet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarTextValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarIntegerValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarUTCOffsetValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarMultiValue.cpp
)
list(APPEND ICAL_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarDateTimeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarDurationTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarPeriodTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarValueTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarIntegerValueTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarTextValueTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarUTCOffsetValueTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarRecurrenceTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarRecurrenceSetTest.cpp
)
