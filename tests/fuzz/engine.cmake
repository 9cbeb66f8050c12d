# The analysis engine's neutral-file reader, through its whole analysis.
kestrel_fuzz_target(engine SOURCES fuzz_engine.cpp DEPS kestrel_engine)
