# The settings program's controls: the fade of the dialog, the mouse tracker,
# the window shadow, the Off/On label, the close button, the on/off switch and
# the switch's events. Headers are included as "controls/<name>.h". The cores
# (fade steps, hit tests, shadow geometry and following, the button's looks,
# the switch's geometry and input) run without windows.
add_library(settings_controls STATIC
  controls/fade_effect.cpp
  controls/mouse_event_ctrl.cpp
  controls/shadow_geometry.cpp
  controls/wnd_shadow.cpp
  controls/button_looks.cpp
  controls/d2d_button.cpp
  controls/static_text_wnd.cpp
  controls/selector_core.cpp
  controls/selector_wnd.cpp
  controls/selector_access.cpp
  controls/switch_events.cpp)
target_include_directories(settings_controls PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(settings_controls)
target_link_libraries(settings_controls PUBLIC
  settings_drawing lensbeacon_texts winframe lensbeacon_common lensbeacon_options
  d2d1 dwrite windowscodecs gdi32 msimg32 user32)
