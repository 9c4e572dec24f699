# What a MinGW build of configgen.exe needs beside it on a Windows machine without Qt or MinGW:
# installed into one folder, it runs from there, and `cpack -G ZIP` packs that folder as
# configgen-<version>-win64.zip.

install(IMPORTED_RUNTIME_ARTIFACTS Qt5::Core Qt5::Gui Qt5::Widgets Qt5::Xml DESTINATION .)
# Qt loads its plugins at run time from these folders next to the program: the platform plugin
# (without it no window opens) and the native look of the file dialog's buttons.
install(IMPORTED_RUNTIME_ARTIFACTS Qt5::QWindowsIntegrationPlugin DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt5::QWindowsVistaStylePlugin DESTINATION styles)

# The compiler's own runtime, which the program and the Qt libraries link dynamically.
foreach(runtime libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${runtime} is")
    endif()
    install(FILES ${runtime_path} DESTINATION .)
endforeach()

# What a Windows user reads first after unpacking the zip.
install(FILES ${PROJECT_SOURCE_DIR}/driver/windows/README.txt DESTINATION .)

# Qt's and the compiler's runtime libraries ship with their license texts, as those licenses ask.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/driver/windows/licenses/ DESTINATION licenses)

# The example working directory, with an empty output folder whatever a local run left in it.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/example/ DESTINATION example REGEX "GenerateFiles/.+" EXCLUDE)

# The compiler's runtime DLLs come with debug sections, which made up most of the zip (those of
# libstdc++-6.dll alone about 14 of its 17 MB). An install with --strip strips every DLL it
# installed with the MinGW binutils, as install(TARGETS) strips configgen.exe; this comes last so
# that it sees them all. The zip is always packed from such an install.
install(CODE "set(mingw_strip [[${CMAKE_STRIP}]])")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
            if(file MATCHES "\\.dll$")
                # The list names the files as under the prefix, without DESTDIR.
                execute_process(COMMAND "${mingw_strip}" "$ENV{DESTDIR}${file}" RESULT_VARIABLE status)
                if(NOT status EQUAL 0)
                    message(FATAL_ERROR "${mingw_strip} could not strip $ENV{DESTDIR}${file}")
                endif()
            endif()
        endforeach()
    endif()
]])

set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_NAME configgen)
set(CPACK_SYSTEM_NAME win64)
include(CPack)
