# `cpack -G DEB` in a build folder makes configgen_<version>_<arch>.deb from the install rules.
# Its dependencies are computed from the binary by dpkg-shlibdeps, never listed by hand, so they
# follow whatever Qt and C++ libraries the build really links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME configgen)
set(CPACK_PACKAGE_CONTACT "configgen developers <dev@configgen.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make post-processor configuration files for CNC machine tools")
set(CPACK_PACKAGE_DESCRIPTION
"configgen turns source XML files that describe the programs of a CNC job
(left, right, merged and tandem entries with their lines and G54/G55 work
offsets) into post-processor configuration files, one for each source file.

Start it in a working directory that holds Template/PostProcessorTemplate.xml
(the template every output file starts from), SourceFiles/ (where the file
dialog opens) and GenerateFiles/ (the existing folder the files are written
to), with USERNAME set: its value starts every output file name. Choose the
source files in the dialog, read the results on the console and answer there
whether to convert another batch.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

# Debian's changelog and copyright file. The changelog must tell of the version being packaged.
set(changelog "${CMAKE_CURRENT_LIST_DIR}/debian/changelog")
file(STRINGS "${changelog}" latest LIMIT_COUNT 1)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(NOT latest MATCHES "^configgen \\(${version_pattern}\\) ")
    message(FATAL_ERROR "${changelog} begins with \"${latest}\", not with an entry for version ${PROJECT_VERSION}")
endif()
install_gzipped("${changelog}" "${CMAKE_INSTALL_DOCDIR}")
install(FILES "${CMAKE_CURRENT_LIST_DIR}/debian/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

include(CPack)

# The example working directory, to copy and start from (the manual page and README say how).
# Its output folder goes empty, whatever a run in the source tree left there.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/example/" DESTINATION "${CMAKE_INSTALL_DOCDIR}/examples" REGEX "GenerateFiles/.+" EXCLUDE)
