# The settings program's controls, the shells over settings_core: the window
# shadow, the Off/On label, the close button, the on/off switch (window,
# pictures, screen readers) and the switch's events. Headers are included as
# "controls/<name>.h". The three drawn controls derive from winframe's
# AnimatedControl.
add_library(settings_controls STATIC
  controls/wnd_shadow.cpp
  controls/d2d_button.cpp
  controls/static_text_wnd.cpp
  controls/selector_wnd.cpp
  controls/selector_pictures.cpp
  controls/selector_access.cpp
  controls/switch_events.cpp)
target_include_directories(settings_controls PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(settings_controls)
target_link_libraries(settings_controls PUBLIC
  settings_core settings_win32 settings_drawing lensbeacon_texts winframe lensbeacon_common
  lensbeacon_options d2d1 dwrite windowscodecs gdi32 msimg32 user32)
