# Run by cmake --install after the page's files are in place: names the offline cache after
# exactly these files, and writes the precompressed copies that a server sends instead.
# Expects TAZZLE_WEB_DIR (relative to the prefix), TAZZLE_WEB_PROGRAM, TAZZLE_WEB_SW_TEMPLATE,
# TAZZLE_BROTLI and TAZZLE_GZIP.
set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TAZZLE_WEB_DIR}")
set(served index.html qtloader.js ${TAZZLE_WEB_PROGRAM}.js ${TAZZLE_WEB_PROGRAM}.wasm
    manifest.webmanifest)
set(sums "")
foreach(file IN LISTS served)
    file(SHA256 "${dir}/${file}" sum)
    string(APPEND sums "${sum}\n")
endforeach()
string(SHA256 TAZZLE_WEB_BUILD "${sums}")
string(SUBSTRING "${TAZZLE_WEB_BUILD}" 0 16 TAZZLE_WEB_BUILD)
configure_file("${TAZZLE_WEB_SW_TEMPLATE}" "${dir}/sw.js" @ONLY)
message(STATUS "Offline cache: ${TAZZLE_WEB_PROGRAM}-${TAZZLE_WEB_BUILD}")

foreach(file index.html qtloader.js sw.js ${TAZZLE_WEB_PROGRAM}.js ${TAZZLE_WEB_PROGRAM}.wasm)
    execute_process(COMMAND "${TAZZLE_BROTLI}" --force --best "${dir}/${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND "${TAZZLE_GZIP}" --force --keep --best --no-name "${dir}/${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
message(STATUS "Compressed: ${dir}/*.br, *.gz")
