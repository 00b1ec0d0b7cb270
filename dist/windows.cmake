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
# The values reach the installer script as they are written here, backslashes and all.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR ${TAZZLE_MAKERS})
# The full version, in the entry and the file name alike: each release its own, and winget
# compares them number by number.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-setup)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ${PROJECT_NAME})
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ${PROJECT_NAME})
set(CPACK_PACKAGE_EXECUTABLES ${TAZZLE_EXECUTABLE_NAME} ${PROJECT_NAME})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_NSIS_DISPLAY_NAME ${PROJECT_NAME})
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${TAZZLE_EXECUTABLE_NAME}.exe)
set(CPACK_NSIS_MUI_ICON ${TAZZLE_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${TAZZLE_WINDOWS_ICON})
set(CPACK_NSIS_URL_INFO_ABOUT ${TAZZLE_WEBSITE_URL})
# Per machine, in the 64-bit Program Files and registry: a 64-bit installer. NSIS makes a 32-bit
# one unless told, which a 64-bit-only Windows (and Wine) cannot run.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The same bytes from the same sources: no file's build time goes into the installer.
string(APPEND CPACK_NSIS_DEFINES "\n  SetDateSave off")
# The window's title as the core has it, to find a running Tazzle by.
file(STRINGS ${PROJECT_SOURCE_DIR}/core/windowlayout.h tazzle_title
     REGEX "^inline constexpr std::string_view title = ")
string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" TAZZLE_WINDOW_TITLE "${tazzle_title}")
if(NOT TAZZLE_WINDOW_TITLE OR TAZZLE_WINDOW_TITLE STREQUAL tazzle_title)
    message(FATAL_ERROR "core/windowlayout.h: no title found")
endif()
# Never over a running Tazzle, and never half a program: the installer and the uninstaller ask
# for Tazzle to be closed before they change anything (run silently, they stop with one status),
# and the installer has an earlier install's own uninstaller remove it first, and stops with
# another if that fails; so an install over any version leaves one entry, its files and nothing
# stale. Package managers tell the two apart (the winget manifest names them).
set(TAZZLE_EXIT_RUNNING 2)
set(TAZZLE_EXIT_NOT_REMOVED 3)
set(uninstall_key "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${PROJECT_NAME}")
set(running_check [=[
  tazzle_running:
    FindWindow $0 "" "@TAZZLE_WINDOW_TITLE@"
    StrCmp $0 0 tazzle_closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "@PROJECT_NAME@ is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY tazzle_running
    SetErrorLevel @TAZZLE_EXIT_RUNNING@
    Abort "@PROJECT_NAME@ is running."
  tazzle_closed:
]=])
string(CONFIGURE "${running_check}" running_check @ONLY)
string(CONFIGURE [=[
@running_check@
    ReadRegStr $0 HKLM "@uninstall_key@" "UninstallString"
    ReadRegStr $1 HKLM "Software\@TAZZLE_MAKERS@\@PROJECT_NAME@" ""
    StrCmp $0 "" tazzle_fresh
    StrCmp $1 "" tazzle_fresh
    StrCpy $0 $0 -1 1 ; without its quotes
    ClearErrors
    ExecWait '"$0" /S _?=$1' $2
    IfErrors tazzle_not_removed
    StrCmp $2 0 0 tazzle_not_removed
    Delete "$0" ; run in place, it leaves itself
    RMDir "$1"
    Goto tazzle_fresh
  tazzle_not_removed:
    SetErrorLevel @TAZZLE_EXIT_NOT_REMOVED@
    Abort "The installed @PROJECT_NAME@ could not be removed first."
  tazzle_fresh:
    SetOutPath "$INSTDIR"
]=] CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS @ONLY)
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${running_check}")
set(TAZZLE_SILENT_SWITCH /S)
# How a package manager removes it without a question.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "WriteRegStr SHCTX \"${uninstall_key}\" \"QuietUninstallString\" '\"$INSTDIR\\Uninstall.exe\" ${TAZZLE_SILENT_SWITCH}'")

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
    "InstallerFile": "@CPACK_PACKAGE_FILE_NAME@.exe",
    "Silent": "@TAZZLE_SILENT_SWITCH@",
    "InstallLocation": "%ProgramFiles%\\@CPACK_PACKAGE_INSTALL_DIRECTORY@",
    "Entry": {
        "DisplayName": "@CPACK_NSIS_DISPLAY_NAME@",
        "Publisher": "@CPACK_PACKAGE_VENDOR@",
        "DisplayVersion": "@CPACK_PACKAGE_VERSION@",
        "ProductCode": "@CPACK_PACKAGE_INSTALL_REGISTRY_KEY@"
    },
    "ExitCodes": {
        "1": "cancelledByUser",
        "@TAZZLE_EXIT_RUNNING@": "packageInUse",
        "@TAZZLE_EXIT_NOT_REMOVED@": "contactSupport"
    },
    "Metainfo": "@TAZZLE_APP_ID@.metainfo.xml"
}
]] winget_facts @ONLY)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/winget.json "${winget_facts}")
# Read when cpack runs: signs the uninstaller as NSIS writes it, when there is a certificate.
set(TAZZLE_SIGN_SCRIPT ${PROJECT_SOURCE_DIR}/tools/windows/sign.sh)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows-cpack.cmake.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows-cpack.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/windows-cpack.cmake)
include(CPack)
