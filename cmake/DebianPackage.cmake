# `cpack -G DEB` in a build folder makes configgen_<version>_<arch>.deb from the install rules.
# Its dependencies are computed from the binary by dpkg-shlibdeps, never listed by hand, so they
# follow whatever Qt and C++ libraries the build really links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME configgen)
set(CPACK_PACKAGE_CONTACT "configgen developers <dev@configgen.local>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make post-processor configuration files for CNC machine tools")
set(CPACK_PACKAGE_DESCRIPTION
"configgen turns source XML files that describe the programs of a CNC job (left, right,
merged and tandem entries with their lines and G54/G55 work offsets) into post-processor
configuration files, one for each source file.

Start it in a working directory that holds Template/PostProcessorTemplate.xml (the
template every output file starts from), SourceFiles/ (where the file dialog opens) and
GenerateFiles/ (the existing folder the files are written to), with USERNAME set: its
value starts every output file name. Choose the source files in the dialog, read the
results on the console and answer there whether to convert another batch.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
