# install_gzipped(SOURCE DESTINATION): installs SOURCE compressed as DESTINATION/<name>.gz, as
# Debian wants manual pages and changelogs. gzip -n leaves out the name and time stamp, so that
# the same file always gives the same bytes and the package does not change from build to build.
find_program(GZIP_EXECUTABLE gzip)
function(install_gzipped source destination)
    if(NOT GZIP_EXECUTABLE)
        message(FATAL_ERROR "gzip is needed to install ${source}")
    endif()
    get_filename_component(name "${source}" NAME)
    set(copy "${CMAKE_CURRENT_BINARY_DIR}/${name}")
    add_custom_command(OUTPUT "${copy}.gz"
        COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${copy}"
        COMMAND "${GZIP_EXECUTABLE}" -9 -n -f "${copy}"
        DEPENDS "${source}"
        VERBATIM)
    add_custom_target("gzip-${name}" ALL DEPENDS "${copy}.gz")
    install(FILES "${copy}.gz" DESTINATION "${destination}")
endfunction()
