# Cross build for 32-bit Windows: the shipped folder dist/ and the tests that run under Wine.
set(TESSORA_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${TESSORA_DIST_DIR})
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env;BUILD_DIR=${CMAKE_BINARY_DIR};${CMAKE_SOURCE_DIR}/tools/wine-run.sh)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800 __USE_MINGW_ANSI_STDIO=0)
add_compile_options(-Wall -Wextra -Werror -O2 -fno-strict-aliasing)
# nothing beyond the system's own DLLs is needed on a clean Windows
set(TESSORA_STATIC_LINK -static -static-libgcc -static-libstdc++)
# What ships is stripped and aligned to pages in the file, so that the loader maps it instead of
# copying each whole image into private memory.
set(TESSORA_SHIP_LINK -s -Wl,--file-alignment,4096 -Wl,--section-alignment,4096)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
set(TESSORA_WIN_LIBS comctl32 gdiplus shlwapi version wininet ole32 oleaut32 uuid shell32
    comdlg32 advapi32 gdi32 user32 kernel32 msimg32 ws2_32)

include(GoogleTest)

# GoogleTest for Windows, from Debian's googletest sources, built with the posix compiler.
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
        target_compile_options(${t} PRIVATE -Wno-error)
    endif()
endforeach()

add_library(tessora_core STATIC ${CORE_SOURCES})
target_include_directories(tessora_core PUBLIC ${CMAKE_SOURCE_DIR})

# The keyboard-hook library.
include(${CMAKE_SOURCE_DIR}/cmake/hook.cmake OPTIONAL)
# SQLite as the shipped library file, and the shipped rule database.
include(${CMAKE_SOURCE_DIR}/cmake/sqlite.cmake OPTIONAL)

# Everything of the program but its entry point, so that Windows tests link the same code.
file(GLOB APP_SOURCES CONFIGURE_DEPENDS
    framework/*.cpp app/*.cpp rules/*.cpp engine/*.cpp ui/*.cpp update/*.cpp)
list(REMOVE_ITEM APP_SOURCES ${CMAKE_SOURCE_DIR}/framework/CString.cpp
    ${CMAKE_SOURCE_DIR}/app/XTessoraPro.cpp)
add_library(tessora_app STATIC ${APP_SOURCES})
target_link_libraries(tessora_app PUBLIC tessora_core ${TESSORA_WIN_LIBS})
if(TARGET Tarnquilcore)
    target_link_libraries(tessora_app PUBLIC Tarnquilcore)
endif()

add_executable(Tessora WIN32 app/XTessoraPro.cpp res/Tessora.rc)
target_link_libraries(Tessora PRIVATE tessora_app)
target_link_options(Tessora PRIVATE -municode ${TESSORA_STATIC_LINK} ${TESSORA_SHIP_LINK})
set_target_properties(Tessora PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TESSORA_DIST_DIR})
file(GLOB TESSORA_ART CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/art/*)
# The splash's pixels, decoded at build time: showing them at start then needs no image decoder.
set(TESSORA_SPLASH_PIXELS ${CMAKE_BINARY_DIR}/art/splash.bgra)
add_custom_command(OUTPUT ${TESSORA_SPLASH_PIXELS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/art
    COMMAND /usr/bin/convert ${CMAKE_SOURCE_DIR}/res/art/splash.png -depth 8 BGRA:${TESSORA_SPLASH_PIXELS}
    DEPENDS ${CMAKE_SOURCE_DIR}/res/art/splash.png VERBATIM)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_BINARY_DIR}/art")
set_property(SOURCE res/Tessora.rc APPEND PROPERTY OBJECT_DEPENDS ${TESSORA_SPLASH_PIXELS})
set_property(SOURCE res/Tessora.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/res/Tessora.manifest ${CMAKE_SOURCE_DIR}/res/resource.h
    ${CMAKE_SOURCE_DIR}/res/engine.rc ${CMAKE_SOURCE_DIR}/res/ui.rc
    ${CMAKE_SOURCE_DIR}/res/engine_ids.h ${CMAKE_SOURCE_DIR}/res/ui_ids.h ${TESSORA_ART})
# every resource part of the script, whoever adds one
file(GLOB TESSORA_RES_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h)
set_property(SOURCE res/Tessora.rc APPEND PROPERTY OBJECT_DEPENDS ${TESSORA_RES_PARTS})

configure_file(${CMAKE_SOURCE_DIR}/res/config.ini ${TESSORA_DIST_DIR}/config.ini COPYONLY)

# A program that runs what dist/ ships (the program, its libraries, the rule database).
function(tessora_depend_on_dist target)
    add_dependencies(${target} Tessora)
    foreach(dep Tarnquilcore qomb100 tessora_rule_db)
        if(TARGET ${dep})
            add_dependencies(${target} ${dep})
        endif()
    endforeach()
endfunction()

# Paths of the build as Wine sees them (drive Z: is the Unix root).
string(REPLACE "/" "\\\\" TESSORA_DIST_DIR_WINE "Z:${TESSORA_DIST_DIR}")
string(REPLACE "/" "\\\\" TESSORA_SOURCE_DIR_WINE "Z:${CMAKE_SOURCE_DIR}")

# A Windows GoogleTest program run under Wine, one CTest test per TEST(); with RUNNER, one CTest
# test for the whole program, which that script runs (exit code 77: skipped).
# tessora_add_wine_gtest(<target> SOURCES ... [LIBS ...] [SERIAL] [RUNNER script])
function(tessora_add_wine_gtest target)
    cmake_parse_arguments(ARG "SERIAL" "RUNNER" "SOURCES;LIBS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} gtest gmock ${TESSORA_WIN_LIBS} ws2_32)
    target_link_options(${target} PRIVATE ${TESSORA_STATIC_LINK})
    target_compile_definitions(${target} PRIVATE
        TESSORA_DIST_DIR_W=L"${TESSORA_DIST_DIR_WINE}" TESSORA_SOURCE_DIR_W=L"${TESSORA_SOURCE_DIR_WINE}")
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    if(ARG_RUNNER)
        set(tests win.${target})
        add_test(NAME ${tests} COMMAND ${ARG_RUNNER} $<TARGET_FILE:${target}>)
        set_tests_properties(${tests} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77
            ENVIRONMENT BUILD_DIR=${CMAKE_BINARY_DIR})
    else()
        gtest_add_tests(TARGET ${target} SOURCES ${ARG_SOURCES} TEST_PREFIX "win." TEST_LIST tests)
        set_tests_properties(${tests} PROPERTIES TIMEOUT 120)
    endif()
    if(ARG_SERIAL)
        set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK desktop)
    endif()
endfunction()

file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win/*_test.cpp)
list(FILTER WIN_TEST_SOURCES EXCLUDE REGEX "hook_")
if(WIN_TEST_SOURCES)
    tessora_add_wine_gtest(win_tests SOURCES ${WIN_TEST_SOURCES} tests/win/win_main.cpp
        tests/win/win_tests.rc tests/support/WinTestSupport.cpp LIBS tessora_app)
    tessora_depend_on_dist(win_tests)
    # the tests' own copies of the program's libraries sit beside them
    add_custom_command(TARGET win_tests POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSORA_DIST_DIR}/qomb100.dll
                $<TARGET_FILE_DIR:win_tests>/qomb100.dll
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSORA_DIST_DIR}/pomlet64.dll
                $<TARGET_FILE_DIR:win_tests>/pomlet64.dll)
    if(TARGET Tarnquilcore)
        add_custom_command(TARGET win_tests POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Tarnquilcore>
                    $<TARGET_FILE_DIR:win_tests>/Tarnquilcore.dll)
    endif()
endif()

include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/bench/bench.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/bench/startup/startup.cmake)
include(${CMAKE_SOURCE_DIR}/bench/update/update.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/bench/win/rules_editor.cmake OPTIONAL)
