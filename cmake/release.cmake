# This release of Tazzle: its version, the day it is made, the makers' site and where on it
# the release's files are. The build reads them here, and so do the release scripts:
# `cmake -P cmake/release.cmake` prints them as shell assignments. The Debian changelog's
# latest entry must be of this version.
set(TAZZLE_VERSION 1.0.0)
set(TAZZLE_RELEASE_DATE 2026-12-08)
set(TAZZLE_DEFAULT_WEBSITE_URL https://www.tazzle.example)
# Where on the site this release's files stay for good, as manifests and pages name them.
set(TAZZLE_DOWNLOADS download/${TAZZLE_VERSION})

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    foreach(name TAZZLE_VERSION TAZZLE_RELEASE_DATE TAZZLE_DEFAULT_WEBSITE_URL TAZZLE_DOWNLOADS)
        execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${name}=${${name}}")
    endforeach()
endif()
