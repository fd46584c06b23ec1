# The shipped build: 32-bit Windows.
set(lensbeacon_mingw_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
