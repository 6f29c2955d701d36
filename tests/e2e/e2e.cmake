# End-to-end scenarios: a test program of ours starts dist/Tessora.exe in a fresh copy of dist/
# under Wine and drives it. One desktop: the scenarios run one at a time.
file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
if(E2E_TEST_SOURCES)
    tessora_add_wine_gtest(e2e_tests SERIAL SOURCES ${E2E_TEST_SOURCES}
        ${CMAKE_SOURCE_DIR}/tests/e2e/TessoraRun.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp
        LIBS gtest_main)
    tessora_depend_on_dist(e2e_tests)
    include(${CMAKE_CURRENT_LIST_DIR}/ui.cmake)
endif()
