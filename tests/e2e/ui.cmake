# The user-interface scenarios' helpers, and a small library that they load into the running
# program to read its open pop-up menu (Wine keeps menus inside their process).
add_library(ui_menu_probe SHARED ${CMAKE_CURRENT_LIST_DIR}/UiMenuProbe.cpp)
set_target_properties(ui_menu_probe PROPERTIES PREFIX "")
# plain export names, so that the scenarios find the entry by name
target_link_options(ui_menu_probe PRIVATE ${TESSORA_STATIC_LINK} -Wl,--kill-at)
target_sources(e2e_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/UiSupport.cpp)
target_link_libraries(e2e_tests PRIVATE tessora_core version shell32)
add_dependencies(e2e_tests ui_menu_probe)
