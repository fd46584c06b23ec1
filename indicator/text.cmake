# The indicator's text: DirectWrite drawing into GDI memory bitmaps.
add_library(indicator_text STATIC
  text_renderer.cpp
  gdi_text_renderer.cpp)
target_include_directories(indicator_text PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(indicator_text)
target_link_libraries(indicator_text PUBLIC lensbeacon_options dwrite gdi32)

include(artwork.cmake)
