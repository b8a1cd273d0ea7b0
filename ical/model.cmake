# Calendar, components, properties, reader, writer, time zones.
list(APPEND ICAL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CICalendar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarAttribute.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarComponent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarComponentBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarComponentDB.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarComponentRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarComponentRecur.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarHeap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarProperty.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarTextLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVAlarm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVEvent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVFreeBusy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVJournal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVTimezone.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVTimezoneElement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CICalendarVToDo.cpp
)
list(APPEND ICAL_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarTextLineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarPropertyTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarReadTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarWriteTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarComponentDBTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarTimezoneTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarComponentTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarHeapTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/CICalendarStorageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/MivoIcalToolTest.cpp
)
