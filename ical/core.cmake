# Date-time, duration, period, time-zone reference, values, recurrence.
list(APPEND ICAL_SOURCES
)
list(APPEND ICAL_TESTS
)
