# The update check's cost to the user: how the program answers while a slow download runs, and
# how long a start with AutoUpdate on takes to offer a newer version.
add_executable(update_bench ${CMAKE_SOURCE_DIR}/bench/update/update_bench.cpp
    ${CMAKE_SOURCE_DIR}/tests/e2e/TessoraRun.cpp ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp)
target_include_directories(update_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(update_bench PRIVATE TESSORA_DIST_DIR_W=L"${TESSORA_DIST_DIR_WINE}")
target_link_options(update_bench PRIVATE -municode ${TESSORA_STATIC_LINK})
target_link_libraries(update_bench PRIVATE ${TESSORA_WIN_LIBS} ws2_32)
add_dependencies(update_bench Tessora)
