# The settings program's images and program icon, generated from scripts in
# the repository so that no binary is edited by hand. The title is drawn with
# Debian's python3-pil, so the system interpreter runs the script (a python3
# earlier on PATH may lack it). The resource script finds the files through
# LENSBEACON_SETTINGS_ART_DIR; programs that embed them depend on the
# settings_artwork target.
set(LENSBEACON_SETTINGS_PYTHON3 /usr/bin/python3)
set(LENSBEACON_SETTINGS_ART_DIR ${CMAKE_BINARY_DIR}/settings/art)
set(lensbeacon_settings_artwork_scripts
  ${CMAKE_SOURCE_DIR}/scripts/artwork/png.py
  ${CMAKE_SOURCE_DIR}/scripts/artwork/indicator.py
  ${CMAKE_SOURCE_DIR}/scripts/artwork/settings.py)
set(LENSBEACON_SETTINGS_ART_FILES
  ${LENSBEACON_SETTINGS_ART_DIR}/BKGND.png
  ${LENSBEACON_SETTINGS_ART_DIR}/BTN_CLOSE_NORMAL.png
  ${LENSBEACON_SETTINGS_ART_DIR}/BTN_CLOSE_DOWN.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SLIDER_BKGND_NORMAL.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SLIDER_BKGND_DOWN.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SLIDER_BTN_NORMAL.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SHADOW_LEFT.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SHADOW_RIGHT.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SHADOW_TOP.png
  ${LENSBEACON_SETTINGS_ART_DIR}/SHADOW_BOTTOM.png
  ${LENSBEACON_SETTINGS_ART_DIR}/lensdial.ico)
add_custom_command(
  OUTPUT ${LENSBEACON_SETTINGS_ART_FILES}
  COMMAND ${LENSBEACON_SETTINGS_PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/artwork/settings.py
          ${LENSBEACON_SETTINGS_ART_DIR}
  DEPENDS ${lensbeacon_settings_artwork_scripts}
  COMMENT "Generating the settings program's images and icon"
  VERBATIM)
add_custom_target(settings_artwork DEPENDS ${LENSBEACON_SETTINGS_ART_FILES})
