# The keyboard-hook library Tarnquilcore.dll.
file(GLOB HOOK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/hook/*.cpp)
add_library(Tarnquilcore SHARED ${HOOK_SOURCES})
target_compile_definitions(Tarnquilcore PRIVATE TARNQUILCORE_BUILD)
target_include_directories(Tarnquilcore PUBLIC ${CMAKE_SOURCE_DIR})
target_link_options(Tarnquilcore PRIVATE ${TESSORA_STATIC_LINK})
target_link_libraries(Tarnquilcore PRIVATE user32 kernel32)
set_target_properties(Tarnquilcore PROPERTIES PREFIX "" OUTPUT_NAME Tarnquilcore
    RUNTIME_OUTPUT_DIRECTORY ${TESSORA_DIST_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
