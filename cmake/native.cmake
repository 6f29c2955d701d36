# Native build: the platform-free code and its unit tests, with sanitizers.
find_package(GTest REQUIRED)
include(GoogleTest)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra -Werror -g)
# the shipped SQLite, built from the pinned amalgamation (tessora_sqlite)
include(${CMAKE_SOURCE_DIR}/cmake/sqlite.cmake)

add_library(tessora_core STATIC ${CORE_SOURCES})
target_include_directories(tessora_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tessora_core PUBLIC ${SANITIZE})
target_link_options(tessora_core PUBLIC ${SANITIZE})
target_link_libraries(tessora_core PUBLIC tessora_sqlite)

file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*_test.cpp)
add_executable(native_tests ${NATIVE_TESTS})
target_link_libraries(native_tests PRIVATE tessora_core GTest::gtest_main)
target_compile_definitions(native_tests PRIVATE TESSORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(native_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)

file(GLOB NATIVE_BENCH CONFIGURE_DEPENDS bench/native/*.cpp)
foreach(src ${NATIVE_BENCH})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE tessora_core)
endforeach()
