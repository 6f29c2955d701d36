# Start-up benchmark: the program against an empty Win32 program started the same way.
add_executable(empty_app WIN32 ${CMAKE_SOURCE_DIR}/bench/startup/empty_app.cpp)
target_link_options(empty_app PRIVATE -municode ${TESSORA_STATIC_LINK})
add_executable(startup_bench ${CMAKE_SOURCE_DIR}/bench/startup/startup_bench.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp)
target_include_directories(startup_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(startup_bench PRIVATE -municode ${TESSORA_STATIC_LINK})
target_link_libraries(startup_bench PRIVATE psapi)
target_compile_definitions(startup_bench PRIVATE TESSORA_DIST_DIR_W=L"${TESSORA_DIST_DIR_WINE}")
add_dependencies(startup_bench empty_app Tessora)

# Private memory of the two language tables.
add_executable(language_bench ${CMAKE_SOURCE_DIR}/bench/startup/language_bench.cpp)
target_link_options(language_bench PRIVATE -municode ${TESSORA_STATIC_LINK})
target_link_libraries(language_bench PRIVATE tessora_app psapi)
