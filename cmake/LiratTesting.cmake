# Test helpers shared by every folder under tests/.

if(CMAKE_CROSSCOMPILING)
    # No prebuilt GoogleTest for the cross compiler: build Debian's sources with it.
    set(LIRAT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${LIRAT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
    # GoogleTest's own CMake files already define the GTest:: aliases.
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# The properties every test program of the tree gets, into <out>: its time limit (120 s unless
# one is given), its labels, and whether it runs alone.
function(lirat_test_properties out timeout labels run_serial)
    if(NOT timeout)
        set(timeout 120)
    endif()
    set(props TIMEOUT ${timeout} LABELS "${labels}")
    if(run_serial)
        list(APPEND props RUN_SERIAL TRUE)
    endif()
    set(${out} "${props}" PARENT_SCOPE)
endfunction()

# lirat_add_gtest(<name> SOURCES <files...> LIBRARIES <targets...> [LABELS <labels...>]
#                 [TIMEOUT <seconds>] [RUN_SERIAL] [DISPLAY])
# Native builds register every test case on its own; the cross build runs each executable
# once under the emulator, because starting Wine per case would dominate the run time.
# DISPLAY: the test opens windows; in the cross build it runs in an X server of its own
# (scripts/with-display), and skips where there is none. It runs alone: the programs of one
# Wine prefix share one desktop, so a window shown by another test would take the focus.
function(lirat_add_gtest name)
    cmake_parse_arguments(ARG "RUN_SERIAL;DISPLAY" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    lirat_test_properties(props "${ARG_TIMEOUT}" "${ARG_LABELS}" "${ARG_RUN_SERIAL}")
    if(CMAKE_CROSSCOMPILING AND ARG_DISPLAY)
        # Ends the program as soon as the results are printed (see the file's comment).
        add_executable(${name} ${ARG_SOURCES}
                       ${PROJECT_SOURCE_DIR}/tests/support/win32_display_main.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest)
        # The windows run as in the programs: common controls 6, aware of the resolution.
        lirat_windows_manifest(${name})
    else()
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
    endif()
    if(CMAKE_CROSSCOMPILING AND ARG_DISPLAY)
        add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-display
                 ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}> --gtest_color=no)
        set_tests_properties(${name} PROPERTIES ${props} SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
    elseif(CMAKE_CROSSCOMPILING)
        # Exit code 77 comes from the emulator: a 32-bit program where none can run.
        add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
        set_tests_properties(${name} PROPERTIES ${props} SKIP_RETURN_CODE 77)
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
    endif()
endfunction()

# lirat_public_headers(<target> <headers...>): records headers that must compile on their own;
# tests/CMakeLists.txt turns the list into one translation unit per header.
function(lirat_public_headers target)
    foreach(header IN LISTS ARGN)
        get_filename_component(abs ${header} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY LIRAT_PUBLIC_HEADERS "${target}|${abs}")
    endforeach()
endfunction()

# lirat_add_qtest(<name> SOURCES <files...> LIBRARIES <targets...> [TIMEOUT <seconds>]
#                 [RUN_SERIAL])
# A Qt Test program of the Qt front end; it runs without a display on Qt's offscreen platform.
function(lirat_add_qtest name)
    cmake_parse_arguments(ARG "RUN_SERIAL" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
    lirat_test_properties(props "${ARG_TIMEOUT}" gui "${ARG_RUN_SERIAL}")
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${props})
endfunction()

# lirat_add_only_dejavu_run(<test>): runs a Qt test program again with DejaVu Sans as the only
# face on the system (tests/support makes that font configuration where the font exists).
function(lirat_add_only_dejavu_run name)
    if(LIRAT_ONLY_DEJAVU_FONTCONFIG)
        lirat_test_properties(props "" gui "")
        add_test(NAME ${name}_only_dejavu COMMAND ${name})
        set_tests_properties(${name}_only_dejavu PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${LIRAT_ONLY_DEJAVU_FONTCONFIG}"
            ${props})
    endif()
endfunction()
