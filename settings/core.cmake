# The settings program's decisions, plain code over the interfaces they
# declare: the switch's geometry, input and cross-fade, the close button's
# looks, the shadow's geometry and following, the dialog's fade steps, the
# mouse tracker over the shared pointer tracker, and the dialog's layout. No
# Win32 call is made from here (the core_imports test holds it to that).
add_library(settings_core STATIC
  controls/selector_geometry.cpp
  controls/selector_input.cpp
  controls/selector_fade.cpp
  controls/button_looks.cpp
  controls/shadow_geometry.cpp
  controls/fade_effect.cpp
  controls/mouse_event_ctrl.cpp
  dialog/dialog_layout.cpp)
target_include_directories(settings_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(settings_core)
target_link_libraries(settings_core PUBLIC lensbeacon_common lensbeacon_options)

# The system's side of the core's interfaces, passed in by the shells: the
# fade's window calls (layered alpha, timers, enabling) and the mouse
# tracker's leave notifications and region tests.
add_library(settings_win32 STATIC
  controls/fade_window_win32.cpp
  controls/mouse_tracking_win32.cpp)
lensbeacon_target(settings_win32)
target_link_libraries(settings_win32 PUBLIC settings_core winframe user32 gdi32)
