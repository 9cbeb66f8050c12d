kestrel_fuzz_target(blocks SOURCES fuzz_blocks.cpp DEPS kestrel_attrib)
