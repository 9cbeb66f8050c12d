# The journal reader and the replay of what it accepts on a started program.
kestrel_fuzz_target(journal SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_journal.cpp DEPS kestrel_shell)
