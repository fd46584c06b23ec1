# Compile and link settings every product and test target shares.

# Unicode Win32, Windows 7 API level, no min/max macros.
add_library(lensbeacon_options INTERFACE)
target_compile_definitions(lensbeacon_options INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# Statically linked: no MinGW runtime DLL ships beside the programs.
target_link_options(lensbeacon_options INTERFACE -static -static-libgcc -static-libstdc++)

# Warnings are errors in project code (not in GoogleTest). Beyond the usual
# set: implicit narrowing and sign changes, C casts, casts that drop const or
# volatile, non-literal format strings, repeated conditions and suspicious
# logical operators.
add_library(lensbeacon_warnings INTERFACE)
target_compile_options(lensbeacon_warnings INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wold-style-cast -Wcast-qual -Wformat=2 -Wduplicated-cond -Wlogical-op -Werror>)

# Every project target: options plus warnings.
function(lensbeacon_target target)
  target_link_libraries(${target} PRIVATE lensbeacon_options lensbeacon_warnings)
endfunction()

# Product programs land in dist/ beside each other, as installed.
set(LENSBEACON_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
# Programs enter at wWinMain or wmain (-municode).
function(lensbeacon_program target)
  lensbeacon_target(${target})
  # Shipped binaries carry no symbol tables.
  target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s>)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -municode)
  endif()
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${LENSBEACON_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${LENSBEACON_DIST_DIR})
endfunction()
