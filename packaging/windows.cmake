# Windows: the two programs with a read-me and the licence, flat in one folder,
# and `cpack` makes orbel-<version>-win32.zip of it. The programs are statically
# linked and need no installation: unpack the folder anywhere and start them.

install(TARGETS orbel32 orbel-cli RUNTIME DESTINATION .)

# The texts with Windows line ends, so that every Notepad shows them right.
# @ONLY: the read-me names the version as @PROJECT_VERSION@, and nothing else in
# either text is replaced.
configure_file(windows-readme.txt README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
  DESTINATION .)

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
