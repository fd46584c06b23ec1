# The indicator window's behaviour as plain code (state table, pointer hit
# testing, placement) and the binding of the position store library.
add_library(indicator_window_core STATIC
  mouse_event_ctrl.cpp
  osd_window_core.cpp
  position_store_binding.cpp
  window_placement.cpp)
target_include_directories(indicator_window_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(indicator_window_core)
target_link_libraries(indicator_window_core PUBLIC lensbeacon_common posstore_api user32)
