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

# Two monitors need an X server of their own: tools/two-monitors-run.sh starts one (and a Wine
# prefix beside it) and reports the scenario skipped where the machine cannot show two monitors.
tessora_add_wine_gtest(two_monitor_tests RUNNER ${CMAKE_SOURCE_DIR}/tools/two-monitors-run.sh
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/multimon/two_monitors_test.cpp ${CMAKE_CURRENT_LIST_DIR}/TessoraRun.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LayoutSupport.cpp ${CMAKE_CURRENT_LIST_DIR}/UiSupport.cpp
        ${CMAKE_CURRENT_LIST_DIR}/OptionsSupport.cpp
        ${CMAKE_SOURCE_DIR}/tests/support/WinTestSupport.cpp ${CMAKE_SOURCE_DIR}/rules/SqliteLibrary.cpp
    LIBS gtest_main tessora_core)
tessora_depend_on_dist(two_monitor_tests)
add_dependencies(two_monitor_tests SampleWindow ui_menu_probe)
