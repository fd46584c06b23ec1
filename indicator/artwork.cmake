# The indicator's images and program icon, generated from scripts in the
# repository so that no binary is edited by hand. The resource script finds
# them through LENSBEACON_INDICATOR_ART_DIR; programs that embed them depend
# on the indicator_artwork target.
find_program(LENSBEACON_PYTHON3 python3 REQUIRED)
set(LENSBEACON_INDICATOR_ART_DIR ${CMAKE_CURRENT_BINARY_DIR}/art)
set(lensbeacon_artwork_scripts
  ${CMAKE_SOURCE_DIR}/scripts/artwork/png.py
  ${CMAKE_SOURCE_DIR}/scripts/artwork/indicator.py)
# Each image at 1x, 1.5x and 2x (no suffix, _150, _200).
set(LENSBEACON_INDICATOR_ART_FILES ${LENSBEACON_INDICATOR_ART_DIR}/lenspop.ico)
foreach(image BKGND BTN_NORMAL BTN_DOWN)
  foreach(suffix "" _150 _200)
    list(APPEND LENSBEACON_INDICATOR_ART_FILES ${LENSBEACON_INDICATOR_ART_DIR}/${image}${suffix}.png)
  endforeach()
endforeach()
add_custom_command(
  OUTPUT ${LENSBEACON_INDICATOR_ART_FILES}
  COMMAND ${LENSBEACON_PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/artwork/indicator.py
          ${LENSBEACON_INDICATOR_ART_DIR}
  DEPENDS ${lensbeacon_artwork_scripts}
  COMMENT "Generating the indicator's images and icon"
  VERBATIM)
add_custom_target(indicator_artwork DEPENDS ${LENSBEACON_INDICATOR_ART_FILES})
