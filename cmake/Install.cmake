# Installation: `cmake --install build --prefix PREFIX` puts the program and
# kestrel-solve in PREFIX/bin, a desktop entry with its icon under
# PREFIX/share, and the documentation in PREFIX/share/doc/kestrel. The icons
# of the windows are compiled into the program, so nothing else is needed at
# run time.
include(GNUInstallDirs)

set(KESTREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kestrel)

install(TARGETS kestrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kestrel-solve)
    install(TARGETS kestrel-solve RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${CMAKE_SOURCE_DIR}/app/kestrel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/shell/icons/kestrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

file(GLOB kestrel_docs ${CMAKE_SOURCE_DIR}/docs/*.md)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${kestrel_docs} DESTINATION ${KESTREL_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION ${KESTREL_DOC_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${KESTREL_DOC_DIR}/examples)
