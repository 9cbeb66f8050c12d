# The DXF reader and the import of what it reads into a frame.
kestrel_fuzz_target(dxf SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_dxf.cpp DEPS kestrel_files)
