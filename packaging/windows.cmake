# Windows: the two programs with a read-me and the licence, flat in one folder,
# and `cpack` makes orbel-<version>-win32.zip of it. The programs are statically
# linked and need no installation: unpack the folder anywhere and start them.

install(TARGETS orbel32 orbel-cli RUNTIME DESTINATION .)

# The texts with Windows line ends, so that every Notepad shows them right.
# @ONLY: the read-me names the version as @PROJECT_VERSION@, and nothing else in
# either text is replaced.
configure_file(windows-readme.txt README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

# NOTICES.txt: the notices of the code compiled in (those of the Linux package:
# the musl and fdlibm math, CLI11, nlohmann-json, {fmt}), and of the MinGW-w64
# runtime and winpthreads that the programs link statically, as the cross
# compiler's Debian package states them.
set(notice_files ${CMAKE_CURRENT_SOURCE_DIR}/copyright)
set(mingw_copyright /usr/share/doc/mingw-w64-i686-dev/copyright)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/copyright notices)
if(EXISTS ${mingw_copyright})
  file(READ ${mingw_copyright} mingw_notices)
  string(APPEND notices "\n\nThe MinGW-w64 runtime and winpthreads, linked statically into both "
         "programs (with GCC's libgcc and libstdc++, under the GCC Runtime Library Exception):\n\n"
         "${mingw_notices}")
  list(APPEND notice_files ${mingw_copyright})
else()
  message(WARNING "${mingw_copyright} is missing: NOTICES.txt lacks the MinGW-w64 runtime's notices")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${notice_files})
string(REGEX REPLACE "\r?\n" "\r\n" notices "${notices}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/NOTICES.txt "${notices}")

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
  ${CMAKE_CURRENT_BINARY_DIR}/NOTICES.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME orbel)
set(CPACK_PACKAGE_VENDOR "The Orbel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME orbel-${PROJECT_VERSION}-win32)
# Everything inside one folder of the package's name, so that unpacking it
# ("Extract all") does not scatter the files among others.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Without their debug information (CMAKE_STRIP, the MinGW strip, which CMake
# finds beside the cross compiler): orbel32.exe shrinks from about 0.9 MB to
# 0.3 MB, orbel-cli.exe from about 15 MB to 2 MB.
set(CPACK_STRIP_FILES ON)
include(CPack)
