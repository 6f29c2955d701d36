# The sample window program that the layout scenarios and the benchmark arrange.
add_executable(SampleWindow WIN32 ${CMAKE_SOURCE_DIR}/tools/sample-window/SampleWindow.cpp)
target_link_options(SampleWindow PRIVATE -municode ${TESSORA_STATIC_LINK})
target_link_libraries(SampleWindow PRIVATE gdi32 user32 shell32)
