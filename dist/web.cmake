# The web page: the program compiled to WebAssembly, the page that starts it, what makes it
# installable and playable offline, and the licences of what it holds. cmake --install writes
# the deployable folder, precompressed.

find_program(TAZZLE_BROTLI brotli)
find_program(TAZZLE_GZIP gzip)
if(NOT TAZZLE_BROTLI OR NOT TAZZLE_GZIP)
    message(FATAL_ERROR "The web page is sent precompressed: apt-get install brotli gzip")
endif()
# The licence of the compiled-in face, from the package that installed it.
get_filename_component(font_package ${TAZZLE_WEB_FONT} DIRECTORY)
get_filename_component(font_package ${font_package} NAME)
set(TAZZLE_WEB_FONT_LICENCE /usr/share/doc/fonts-${font_package}/copyright CACHE FILEPATH
    "The licence of the compiled-in face")

set(TAZZLE_WEB_TITLE "${PROJECT_NAME} - ${PROJECT_DESCRIPTION}")
set(web_icons_dir ${CMAKE_CURRENT_BINARY_DIR}/web-icons)
set(web_icons "")
foreach(size 192 512)
    set(png ${web_icons_dir}/icon-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${web_icons_dir}
        COMMAND ${TAZZLE_RASTERIZE} png ${PROJECT_SOURCE_DIR}/assets/icon.svg ${size} ${png}
        DEPENDS ${PROJECT_SOURCE_DIR}/assets/icon.svg ${TAZZLE_RASTERIZE}
        COMMENT "Drawing the ${size}×${size} icon"
        VERBATIM)
    list(APPEND web_icons ${png})
endforeach()
add_custom_target(web_icons ALL DEPENDS ${web_icons})
set_property(GLOBAL PROPERTY TAZZLE_WEB_ICONS ${web_icons})

# Installs target's page into destination (relative to the prefix) as part of component.
function(tazzle_add_web_page target destination component)
    get_target_property(TAZZLE_WEB_PROGRAM ${target} OUTPUT_NAME)
    if(NOT TAZZLE_WEB_PROGRAM)
        set(TAZZLE_WEB_PROGRAM ${target})
    endif()
    # The name Qt gives the program's start function.
    set(TAZZLE_WEB_ENTRY ${target}_entry)
    get_property(web_icons GLOBAL PROPERTY TAZZLE_WEB_ICONS)
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/web-${target})
    configure_file(${PROJECT_SOURCE_DIR}/dist/web/index.html.in ${generated}/index.html @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/dist/web/manifest.webmanifest.in
                   ${generated}/manifest.webmanifest @ONLY)
    set(opts DESTINATION ${destination} COMPONENT ${component})
    # Only the page itself is installed by default.
    if(NOT component STREQUAL "page")
        list(APPEND opts EXCLUDE_FROM_ALL)
    endif()
    install(FILES ${generated}/index.html ${generated}/manifest.webmanifest ${web_icons}
                  ${PROJECT_SOURCE_DIR}/assets/icon.svg
                  $<TARGET_FILE_DIR:${target}>/${TAZZLE_WEB_PROGRAM}.js
                  $<TARGET_FILE_DIR:${target}>/${TAZZLE_WEB_PROGRAM}.wasm
                  $<TARGET_FILE_DIR:${target}>/qtloader.js
            ${opts})
    install(CODE "
        set(TAZZLE_WEB_DIR \"${destination}\")
        set(TAZZLE_WEB_PROGRAM \"${TAZZLE_WEB_PROGRAM}\")
        set(TAZZLE_WEB_SW_TEMPLATE \"${PROJECT_SOURCE_DIR}/dist/web/sw.js.in\")
        set(TAZZLE_BROTLI \"${TAZZLE_BROTLI}\")
        set(TAZZLE_GZIP \"${TAZZLE_GZIP}\")
        include(\"${PROJECT_SOURCE_DIR}/dist/web/finish.cmake\")
        " ${opts})
endfunction()
