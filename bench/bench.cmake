# Windows benchmarks (printed figures, never a pass/fail): the arrangement latency of the real
# program against the bare cost of the same moves, and the hook procedure's time meanwhile.
include(${CMAKE_SOURCE_DIR}/tools/sample-window/sample.cmake)

# The layout scenarios start sample windows and fill a copy of the rule database themselves.
if(TARGET e2e_tests)
    target_sources(e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e/LayoutSupport.cpp
        ${CMAKE_SOURCE_DIR}/rules/SqliteLibrary.cpp)
    target_link_libraries(e2e_tests PRIVATE tessora_core)
    add_dependencies(e2e_tests SampleWindow)
endif()

# The engine's Windows-side tests use the sample windows too, and like the scenarios they need the
# desktop to themselves: windows of theirs would be arranged by a scenario, and the other way round.
if(TARGET win_tests)
    target_sources(win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e/LayoutSupport.cpp)
    add_dependencies(win_tests SampleWindow)
    foreach(src engine_windowutil_test engine_panel_test)
        file(STRINGS ${CMAKE_SOURCE_DIR}/tests/win/${src}.cpp lines REGEX "^TEST(_F)?\\(")
        foreach(line ${lines})
            string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+), ([A-Za-z0-9_]+)\\).*" "win.\\2.\\3" name "${line}")
            set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
        endforeach()
    endforeach()
endif()

if(TARGET Tarnquilcore AND EXISTS ${CMAKE_SOURCE_DIR}/bench/win/layout_bench.cpp)
    add_executable(layout_bench ${CMAKE_SOURCE_DIR}/bench/win/layout_bench.cpp
        ${CMAKE_SOURCE_DIR}/tests/e2e/LayoutSupport.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/TessoraRun.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp)
    target_include_directories(layout_bench PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(layout_bench PRIVATE TESSORA_DIST_DIR_W=L"${TESSORA_DIST_DIR_WINE}")
    target_link_options(layout_bench PRIVATE ${TESSORA_STATIC_LINK})
    target_link_libraries(layout_bench PRIVATE tessora_app Tarnquilcore ${TESSORA_WIN_LIBS})
    add_dependencies(layout_bench SampleWindow Tessora)
    # the benchmark hosts a hook of its own to time the hook procedure
    add_custom_command(TARGET layout_bench POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Tarnquilcore> $<TARGET_FILE_DIR:layout_bench>)
endif()

# Opening the options window against a bare dialog of its size, and what its closes keep, here and
# in the program itself (tools/bench.sh options_bench).
add_executable(options_bench ${CMAKE_SOURCE_DIR}/bench/win/options_bench.cpp
    ${CMAKE_SOURCE_DIR}/bench/win/options_bench.rc ${CMAKE_SOURCE_DIR}/res/Tessora.rc
    ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp)
target_include_directories(options_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(options_bench PRIVATE TESSORA_DIST_DIR_W=L"${TESSORA_DIST_DIR_WINE}")
target_link_options(options_bench PRIVATE -municode ${TESSORA_STATIC_LINK})
target_link_libraries(options_bench PRIVATE tessora_app psapi)
tessora_depend_on_dist(options_bench)
add_custom_command(TARGET options_bench POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSORA_DIST_DIR}/qomb100.dll ${TESSORA_DIST_DIR}/pomlet64.dll
            $<TARGET_FILE_DIR:options_bench>)
