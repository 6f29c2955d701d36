# The keyboard-hook library Tarnquilcore.dll, its tests under Wine and its benchmark.
file(GLOB HOOK_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/hook/*.cpp)
add_library(Tarnquilcore SHARED ${HOOK_SOURCES})
target_compile_definitions(Tarnquilcore PRIVATE TARNQUILCORE_BUILD)
target_include_directories(Tarnquilcore PUBLIC ${CMAKE_SOURCE_DIR})
# A preferred base of its own: at the linker's default it would be relocated (private pages).
target_link_options(Tarnquilcore PRIVATE ${TESSORA_STATIC_LINK} ${TESSORA_SHIP_LINK} -Wl,--image-base,0x63000000)
target_link_libraries(Tarnquilcore PRIVATE user32 kernel32)
set_target_properties(Tarnquilcore PROPERTIES PREFIX "" OUTPUT_NAME Tarnquilcore
    RUNTIME_OUTPUT_DIRECTORY ${TESSORA_DIST_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

# Programs that load the library get their own copy beside them.
function(tarnquilcore_copy_beside target)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Tarnquilcore>
                $<TARGET_FILE_DIR:${target}>/Tarnquilcore.dll)
endfunction()

# The tests type with SendInput into a window of their own: they need the desktop to themselves.
# The sequencer's source is compiled in as well, for the tests that drive it directly.
function(tarnquilcore_add_tests)
    if(NOT COMMAND tessora_add_wine_gtest)
        message(WARNING "tessora_add_wine_gtest is not defined: hook_tests are not built")
        return()
    endif()
    tessora_add_wine_gtest(hook_tests SERIAL
        SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hook_test.cpp ${CMAKE_SOURCE_DIR}/hook/KeySequencer.cpp
        LIBS Tarnquilcore gtest_main)
    tarnquilcore_copy_beside(hook_tests)
endfunction()
if(COMMAND tessora_add_wine_gtest)
    tarnquilcore_add_tests()
else()
    # this file is included before the helper is defined
    cmake_language(DEFER CALL tarnquilcore_add_tests)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win/hook_bench.cpp)
    add_executable(hook_bench ${CMAKE_SOURCE_DIR}/bench/win/hook_bench.cpp)
    target_link_libraries(hook_bench PRIVATE Tarnquilcore user32 kernel32)
    target_link_options(hook_bench PRIVATE ${TESSORA_STATIC_LINK})
    tarnquilcore_copy_beside(hook_bench)
endif()
