# The rule editor's benchmark: its own copy of the editor's dialog template and the shipped
# libraries beside it.
add_executable(rules_editor_bench ${CMAKE_SOURCE_DIR}/bench/win/rules_editor_bench.cpp
    ${CMAKE_SOURCE_DIR}/res/rule_editors.rc)
target_include_directories(rules_editor_bench PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
target_link_options(rules_editor_bench PRIVATE -municode ${TESSORA_STATIC_LINK})
target_link_libraries(rules_editor_bench PRIVATE tessora_app ${TESSORA_WIN_LIBS})
tessora_depend_on_dist(rules_editor_bench)
add_custom_command(TARGET rules_editor_bench POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSORA_DIST_DIR}/qomb100.dll
            $<TARGET_FILE_DIR:rules_editor_bench>/qomb100.dll
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSORA_DIST_DIR}/pomlet64.dll
            $<TARGET_FILE_DIR:rules_editor_bench>/pomlet64.dll)
