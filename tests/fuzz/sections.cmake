kestrel_fuzz_target(sections SOURCES fuzz_sections.cpp DEPS kestrel_attrib)
