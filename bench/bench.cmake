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

if(TARGET Tarnquilcore AND EXISTS ${CMAKE_SOURCE_DIR}/bench/win/layout_bench.cpp)
    add_executable(layout_bench ${CMAKE_SOURCE_DIR}/bench/win/layout_bench.cpp
        ${CMAKE_SOURCE_DIR}/tests/e2e/LayoutSupport.cpp ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/rules/SqliteLibrary.cpp)
    target_include_directories(layout_bench PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_definitions(layout_bench PRIVATE TESSORA_DIST_DIR_W=L"${TESSORA_DIST_DIR_WINE}")
    target_link_options(layout_bench PRIVATE ${TESSORA_STATIC_LINK})
    target_link_libraries(layout_bench PRIVATE tessora_core Tarnquilcore ${TESSORA_WIN_LIBS})
    add_dependencies(layout_bench SampleWindow Tessora)
    # the benchmark hosts a hook of its own to time the hook procedure
    add_custom_command(TARGET layout_bench POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Tarnquilcore> $<TARGET_FILE_DIR:layout_bench>)
endif()
