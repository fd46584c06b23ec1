# The indicator's text: DirectWrite drawing into GDI memory bitmaps, and the
# premultiplied bitmap the window is composed in.
add_library(indicator_text STATIC
  text_renderer.cpp
  gdi_text_renderer.cpp
  osd_canvas.cpp)
target_include_directories(indicator_text PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(indicator_text)
target_link_libraries(indicator_text PUBLIC lensbeacon_options lensbeacon_common dwrite gdi32)

include(artwork.cmake)
