# The site address is pasted into the program and handed to the desktop: configuring with
# anything but http(s)://host must stop with a clear message.
# cmake -DSOURCE_DIR=... -DWORK_DIR=... -P rejectsbadurl.cmake
foreach(url "https://www.tazzle.example/path" "https://a\"b.example" "ftp://tazzle.example"
        "https://" "www.tazzle.example" "https://tazzle.example;rm")
    file(REMOVE_RECURSE "${WORK_DIR}")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}" "-DTAZZLE_WEBSITE_URL=${url}"
        RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
    if(result EQUAL 0)
        message(FATAL_ERROR "'${url}' was accepted")
    endif()
    if(NOT errors MATCHES "TAZZLE_WEBSITE_URL must be")
        message(FATAL_ERROR "'${url}' failed without saying why:\n${errors}")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
