kestrel_fuzz_target(modelfile SOURCES fuzz_modelfile.cpp DEPS kestrel_files)
