# Lensdial.exe: the settings dialog and its start-up. Its decisions (the
# dialog's layout) are in settings_core; the language table and the "-Lang="
# option in lensbeacon_texts (common/).
set(lensdial_resources ${LENSBEACON_SETTINGS_ART_FILES}
  ${CMAKE_CURRENT_SOURCE_DIR}/res/lensdial.manifest
  ${CMAKE_CURRENT_SOURCE_DIR}/res/resource.h)
set_source_files_properties(res/lensdial.rc PROPERTIES OBJECT_DEPENDS "${lensdial_resources}")
add_executable(Lensdial WIN32
  app/main.cpp
  app/lensdial_app.cpp
  dialog/lensdial_dlg.cpp
  dialog/dialog_background.cpp
  dialog/title_band_drag.cpp
  dialog/dialog_switch.cpp
  res/lensdial.rc)
target_include_directories(Lensdial PRIVATE res ${LENSBEACON_SETTINGS_ART_DIR})
target_link_libraries(Lensdial PRIVATE
  settings_core settings_win32 settings_controls settings_drawing lensbeacon_texts winframe
  lensbeacon_common ole32 wtsapi32 user32 gdi32)
add_dependencies(Lensdial settings_artwork)
lensbeacon_program(Lensdial)
