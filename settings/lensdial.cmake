# Lensdial.exe: the settings dialog and its start-up. The command-line option
# is plain code, testable without a window (the core_imports test holds it to
# that); the dialog's layout decisions are in settings_core.
add_library(settings_dialog_core STATIC
  app/language_option.cpp)
target_include_directories(settings_dialog_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(settings_dialog_core)
target_link_libraries(settings_dialog_core PUBLIC settings_core lensbeacon_common lensbeacon_options)

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
  settings_dialog_core settings_core settings_win32 settings_controls settings_drawing settings_texts winframe
  lensbeacon_common ole32 wtsapi32 user32 gdi32)
add_dependencies(Lensdial settings_artwork)
lensbeacon_program(Lensdial)
