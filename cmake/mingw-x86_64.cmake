# 64-bit Windows: a test build of the same sources, for machines whose kernel
# cannot execute 32-bit code (scripts/test-arch.sh).
set(lensbeacon_mingw_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
