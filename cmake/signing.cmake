# Whether this build signs. It does when LENSBEACON_SIGN_CERT and
# LENSBEACON_SIGN_KEY name a PEM code-signing certificate (chain) and its PEM
# private key by absolute path, read from the environment when the build is
# configured (scripts/build.sh configures on every run and makes the paths
# absolute). Decided here once for the whole build: the indicator's manifest
# asks for UI access only in a build that signs, since Windows starts such a
# program only when it is signed, and the package step signs with exactly
# these two files.
#   LENSBEACON_SIGNING    ON or OFF
#   LENSBEACON_SIGN_CERT  the certificate, when signing
#   LENSBEACON_SIGN_KEY   its private key, when signing
set(LENSBEACON_SIGNING OFF)
set(LENSBEACON_SIGN_CERT "$ENV{LENSBEACON_SIGN_CERT}")
set(LENSBEACON_SIGN_KEY "$ENV{LENSBEACON_SIGN_KEY}")
if(NOT LENSBEACON_SIGN_CERT STREQUAL "" OR NOT LENSBEACON_SIGN_KEY STREQUAL "")
  foreach(variable LENSBEACON_SIGN_CERT LENSBEACON_SIGN_KEY)
    set(file "${${variable}}")
    if(NOT IS_ABSOLUTE "${file}" OR NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
      message(FATAL_ERROR "${variable} must name a PEM file by its absolute path, not \"${file}\"")
    endif()
  endforeach()
  set(LENSBEACON_SIGNING ON)
endif()
