# Windows: Tazzle.exe with what it loads beside it (the Qt libraries, the one platform plugin,
# the compiler's run-time), and a 64-bit installer of that tree (cpack -G NSIS).

install(TARGETS tazzle RUNTIME DESTINATION .)
# (A build may name the licence otherwise: an upgrade then has a file of the version before to
# remove.)
set(TAZZLE_WINDOWS_LICENCE_NAME LICENSE.txt CACHE STRING
    "The licence's file in the install folder")
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME ${TAZZLE_WINDOWS_LICENCE_NAME})

install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION .)
install(FILES ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/platforms/qwindows.dll
    DESTINATION platforms)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler does not know where ${dll} is")
    endif()
    install(FILES ${path} DESTINATION .)
endforeach()

# The licences of what ships beside Tazzle: Qt's (the Qt build keeps them in its prefix) and
# the mingw-w64 run-time's, as Debian's packages state them.
set(qt_licences ${QT6_INSTALL_PREFIX}/LICENSES)
if(NOT EXISTS ${qt_licences}/LGPL-3.0-only.txt)
    message(FATAL_ERROR "Qt's licences are not in ${qt_licences}")
endif()
install(FILES ${qt_licences}/LGPL-3.0-only.txt ${qt_licences}/GPL-3.0-only.txt
    ${qt_licences}/FTL.txt ${qt_licences}/Libpng.txt ${qt_licences}/Zlib.txt
    ${qt_licences}/MIT.txt ${qt_licences}/BSD-3-Clause.txt
    ${qt_licences}/LicenseRef-BSD-3-Clause-with-PCRE2-Binary-Like-Packages-Exception.txt
    ${qt_licences}/Unicode-3.0.txt
    DESTINATION licences/qt)
foreach(package mingw-w64-x86-64-dev gcc-mingw-w64-base)
    if(EXISTS /usr/share/doc/${package}/copyright)
        install(FILES /usr/share/doc/${package}/copyright DESTINATION licences/mingw-w64
            RENAME ${package}.txt)
    endif()
endforeach()

# Symbols are of no use to anyone who installs it; they would double the download.
string(CONFIGURE [[
    file(GLOB_RECURSE binaries "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/*.dll"
        "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/*.exe")
    execute_process(COMMAND "@CMAKE_STRIP@" --strip-unneeded ${binaries}
        COMMAND_ERROR_IS_FATAL ANY)
]] strip_binaries @ONLY)
install(CODE "${strip_binaries}")
# Signed as it is installed, when the maker gives a certificate (tools/windows/sign.sh).
string(CONFIGURE [[
    if(NOT "$ENV{TAZZLE_WINDOWS_CERT}" STREQUAL "")
        execute_process(COMMAND bash "@PROJECT_SOURCE_DIR@/tools/windows/sign.sh"
            "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/@TAZZLE_EXECUTABLE_NAME@.exe"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
]] sign_program @ONLY)
install(CODE "${sign_program}")

set(CPACK_GENERATOR NSIS)
# The installer script is the project's own (dist/nsis/NSIS.template.in): it comes in two
# scopes, which cpack's own script cannot.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/nsis)
# The values reach the installer script as they are written here, backslashes and all.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR ${TAZZLE_MAKERS})
# The full version, in the entry and the file name alike: each release its own, and winget
# compares them number by number.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${PROJECT_NAME})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_NSIS_DISPLAY_NAME ${PROJECT_NAME})
set(CPACK_NSIS_INSTALLED_ICON_NAME ${TAZZLE_EXECUTABLE_NAME}.exe)
set(CPACK_NSIS_MUI_ICON ${TAZZLE_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${TAZZLE_WINDOWS_ICON})
set(CPACK_NSIS_URL_INFO_ABOUT ${TAZZLE_WEBSITE_URL})
# A 64-bit installer: NSIS makes a 32-bit one unless told, which a 64-bit-only Windows (and Wine)
# cannot run.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
# The same bytes from the same sources: no file's build time goes into the installer.
string(APPEND CPACK_NSIS_DEFINES "\n  SetDateSave off")
# One installer per scope, each packed by its own cpack run (TAZZLE_WINDOWS_SCOPE, read by
# windows-cpack.cmake): for the one who runs it, or for everyone on the PC.
set(TAZZLE_INSTALLER_user ${PROJECT_NAME}-${PROJECT_VERSION}-user-setup)
set(TAZZLE_INSTALLER_machine ${PROJECT_NAME}-${PROJECT_VERSION}-setup)
set(TAZZLE_USER_INSTALLER ${TAZZLE_INSTALLER_user}.exe)
set(CPACK_PACKAGE_FILE_NAME ${TAZZLE_INSTALLER_machine})
# Never over a running Tazzle, and never half a program: the installer and the uninstaller ask
# for Tazzle to be closed before they change anything (run silently, they stop with one status),
# and the installer has an earlier install's own uninstaller remove it first, and stops with
# another if that fails; so an install over any version leaves one entry, its files and nothing
# stale. For everyone, it installs only in Program Files, and takes over no earlier install
# from elsewhere. Package managers tell the statuses apart (the winget manifest names them).
set(TAZZLE_EXIT_RUNNING 2)
set(TAZZLE_EXIT_NOT_REMOVED 3)
set(TAZZLE_EXIT_OUTSIDE 4)
set(TAZZLE_EXIT_EARLIER_OUTSIDE 5)
set(TAZZLE_SILENT_SWITCH /S)

# What the winget manifests say of this installer (tools/windows/winget.py). The package is
# known by the organisation's name and the program's; its entry by the key NSIS writes. Exit
# status 1 is NSIS's own: the user cancelled.
set(TAZZLE_WINDOWS_MINIMUM 10.0.17763.0) # Windows 10 1809, the oldest that Qt 6.8 runs on
string(CONFIGURE [[{
    "PackageIdentifier": "@TAZZLE_ORGANIZATION@.@PROJECT_NAME@",
    "PackageVersion": "@PROJECT_VERSION@",
    "Publisher": "@TAZZLE_ORGANIZATION@",
    "Moniker": "@tazzle_lower_name@",
    "Copyright": "Copyright (c) @TAZZLE_COPYRIGHT@",
    "ReleaseDate": "@TAZZLE_RELEASE_DATE@",
    "MinimumOSVersion": "@TAZZLE_WINDOWS_MINIMUM@",
    "Silent": "@TAZZLE_SILENT_SWITCH@",
    "Installers": {
        "user": {
            "InstallerFile": "@TAZZLE_INSTALLER_user@.exe",
            "InstallLocation": "%LOCALAPPDATA%\\Programs\\@CPACK_PACKAGE_INSTALL_DIRECTORY@",
            "ElevationRequirement": "elevationProhibited"
        },
        "machine": {
            "InstallerFile": "@TAZZLE_INSTALLER_machine@.exe",
            "InstallLocation": "%ProgramFiles%\\@CPACK_PACKAGE_INSTALL_DIRECTORY@",
            "ElevationRequirement": "elevatesSelf"
        }
    },
    "Entry": {
        "DisplayName": "@CPACK_NSIS_DISPLAY_NAME@",
        "Publisher": "@CPACK_PACKAGE_VENDOR@",
        "DisplayVersion": "@CPACK_PACKAGE_VERSION@",
        "ProductCode": "@CPACK_PACKAGE_INSTALL_REGISTRY_KEY@"
    },
    "ExitCodes": {
        "1": "cancelledByUser",
        "@TAZZLE_EXIT_RUNNING@": "packageInUse",
        "@TAZZLE_EXIT_NOT_REMOVED@": "contactSupport",
        "@TAZZLE_EXIT_OUTSIDE@": "invalidParameter",
        "@TAZZLE_EXIT_EARLIER_OUTSIDE@": "custom"
    },
    "Metainfo": "@TAZZLE_APP_ID@.metainfo.xml"
}
]] winget_facts @ONLY)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/winget.json "${winget_facts}")
# Read when cpack runs: the scope, and the uninstaller signed as NSIS writes it.
set(TAZZLE_SIGN_SCRIPT ${PROJECT_SOURCE_DIR}/tools/windows/sign.sh)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows-cpack.cmake.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows-cpack.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/windows-cpack.cmake)
include(CPack)
