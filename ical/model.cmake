# Calendar, components, properties, reader, writer, time zones.
list(APPEND ICAL_SOURCES
)
list(APPEND ICAL_TESTS
)
