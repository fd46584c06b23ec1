# The settings program's drawing toolbox: scale factors, the shared drawing
# resources and their users, memory DCs, image loading and composing through
# WIC and Direct2D, and DirectWrite text. Headers are included as
# "drawing/<name>.h".
add_library(settings_drawing STATIC
  drawing/scale.cpp
  drawing/drawing_resources.cpp
  drawing/memory_dc.cpp
  drawing/image_routines.cpp
  drawing/picture_target.cpp
  drawing/text_drawing.cpp)
target_include_directories(settings_drawing PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(settings_drawing)
target_link_libraries(settings_drawing PUBLIC
  lensbeacon_texts lensbeacon_common lensbeacon_options
  d2d1 dwrite windowscodecs ole32 gdi32 msimg32 user32)
