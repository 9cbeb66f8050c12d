# Checks the layering of the source folders: a file may include project headers
# only from the folders its own folder may use, and Qt only in the platform
# backends and the program's entry point. Run with -DROOT=<source root>.

cmake_minimum_required(VERSION 3.25)

set(lower fileio gfx ui units model attrib interact analysis/engine analysis files results shell app tools)

# Allowed project folders per source folder (besides the folder itself).
set(allow_fileio "")
set(allow_gfx fileio)
set(allow_gfx/qt gfx)
set(allow_ui gfx)
set(allow_ui/qt ui gfx gfx/qt)
set(allow_units "")
set(allow_model "")
set(allow_analysis/engine "")
set(allow_attrib model units)
set(allow_interact ui gfx)
set(allow_analysis analysis/engine attrib model units fileio)
set(allow_files attrib model units fileio)
set(allow_results files analysis analysis/engine attrib model units interact ui gfx fileio)
set(allow_shell results files analysis analysis/engine attrib model units interact ui gfx fileio)
# The rooms of the shell: its top binds the handlers of every room and every
# room reads the application state at the top, so the shell and its rooms use
# one another freely; what is below them is what the shell may use.
set(shell_rooms shell/panels shell/edit shell/results shell/files)
foreach(room IN LISTS shell_rooms)
    set(allow_${room} ${allow_shell} ${shell_rooms})
endforeach()
list(APPEND allow_shell ${shell_rooms})
set(allow_app shell ${shell_rooms} results files analysis analysis/engine attrib model units interact ui gfx ui/qt gfx/qt fileio)
# The programs that draw the documentation pictures use what the program does.
set(allow_tools ${allow_app})

set(qt_folders gfx/qt ui/qt app tools)
set(failures "")

foreach(folder fileio gfx gfx/qt ui ui/qt units model attrib interact analysis/engine analysis files results shell
               ${shell_rooms} app tools)
    file(GLOB sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
    foreach(src IN LISTS sources)
        file(STRINGS ${src} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]+)")
                if(NOT folder IN_LIST qt_folders)
                    list(APPEND failures "${src}: Qt header ${CMAKE_MATCH_1} outside the platform backends")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/([a-z]+/)?[^\"]*\"")
                set(top ${CMAKE_MATCH_1})
                set(target ${top})
                if(CMAKE_MATCH_2)
                    string(REGEX REPLACE "/$" "" sub ${CMAKE_MATCH_2})
                    if(EXISTS ${ROOT}/${top}/${sub} AND IS_DIRECTORY ${ROOT}/${top}/${sub})
                        set(target ${top}/${sub})
                    endif()
                endif()
                if(NOT top IN_LIST lower)
                    continue()
                endif()
                if(target STREQUAL folder)
                    continue()
                endif()
                # A backend folder may include its own interface folder.
                if(folder MATCHES "^${target}/")
                    continue()
                endif()
                if(NOT target IN_LIST allow_${folder})
                    list(APPEND failures "${src}: includes ${target}/, which ${folder}/ may not use")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "Layering violations:\n${text}")
endif()
message(STATUS "layering: all includes follow the rules")
