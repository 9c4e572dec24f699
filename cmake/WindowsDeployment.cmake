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

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME configgen)
set(CPACK_SYSTEM_NAME win64)
include(CPack)
