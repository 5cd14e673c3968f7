# The Windows release (cpack in the cross build): one zip whose top holds both
# programs beside what a user opens first, README, the licences of the program
# and of the libraries linked into it, and the manual pages as plain text.

# The versions that were linked, from the headers the build used.
function(mv_header_version header macro variable)
  file(STRINGS ${header} line REGEX "^#define ${macro} \"")
  string(REGEX REPLACE ".*\"(.*)\".*" "\\1" version "${line}")
  set(${variable} ${version} PARENT_SCOPE)
endfunction()
mv_header_version(${ZLIB_INCLUDE_DIR}/zlib.h ZLIB_VERSION MV_ZLIB_VERSION)
mv_header_version(${MV_GCRYPT_INCLUDE_DIR}/gcrypt.h GCRYPT_VERSION MV_GCRYPT_VERSION)
mv_header_version(${MV_GCRYPT_INCLUDE_DIR}/gpg-error.h GPG_ERROR_VERSION MV_GPG_ERROR_VERSION)
configure_file(doc/licences/libraries.txt.in libraries.txt @ONLY)

install(FILES README.md DESTINATION . RENAME README.txt)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_BINARY_DIR}/libraries.txt doc/licences/zlib.txt doc/licences/LGPL-2.1.txt
        DESTINATION licences)

# The manual pages as a Windows user reads them: rendered text, no escapes.
find_program(MV_GROFF groff REQUIRED)
foreach(page mendarovel mendarovel-image)
  add_custom_command(OUTPUT ${page}.txt
    COMMAND ${MV_GROFF} -man -Tutf8 -P-cbou ${PROJECT_SOURCE_DIR}/doc/${page}.1 > ${page}.txt
    DEPENDS ${PROJECT_SOURCE_DIR}/doc/${page}.1 VERBATIM)
  list(APPEND manual_pages ${PROJECT_BINARY_DIR}/${page}.txt)
endforeach()
add_custom_target(mv_manual_text ALL DEPENDS ${manual_pages})
install(FILES ${manual_pages} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# A release without the debugging symbols of a RelWithDebInfo build.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME mendarovel-${PROJECT_VERSION}-windows-x64)
