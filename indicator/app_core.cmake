# The indicator's start-up and session logic: desktop test, version flags and
# logon-screen test, single instance, hotkey message, session notifications
# and the event listener. Cores over small interfaces, with their Win32
# adapters beside them.
add_library(indicator_app_core STATIC
  desktop_kind.cpp
  hotkey.cpp
  listener.cpp
  listener_win32.cpp
  session_change.cpp
  single_instance.cpp
  windows_version.cpp)
target_include_directories(indicator_app_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
lensbeacon_target(indicator_app_core)
target_link_libraries(indicator_app_core PUBLIC
  lensbeacon_common lensbeacon_options wtsapi32 user32 advapi32)
