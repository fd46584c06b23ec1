# The settings program's language table: plain code, testable without a window.
add_library(settings_texts STATIC localized_texts.cpp)
target_include_directories(settings_texts PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(settings_texts)
target_link_libraries(settings_texts PUBLIC lensbeacon_options)
