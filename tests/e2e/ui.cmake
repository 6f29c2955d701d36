# A small library that the user-interface scenarios load into the running program to read its open
# pop-up menu (Wine keeps menus inside their process); plain export names, so they find it by name.
add_library(ui_menu_probe SHARED ${CMAKE_CURRENT_LIST_DIR}/UiMenuProbe.cpp)
set_target_properties(ui_menu_probe PROPERTIES PREFIX "")
target_link_options(ui_menu_probe PRIVATE ${TESSORA_STATIC_LINK} -Wl,--kill-at)
target_sources(e2e_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/UiSupport.cpp)
target_link_libraries(e2e_tests PRIVATE tessora_core)
add_dependencies(e2e_tests ui_menu_probe)
target_sources(e2e_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/OptionsSupport.cpp)
