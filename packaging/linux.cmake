# Linux: the two programs, the desktop entry with the moon icon, the manual
# pages and the bash completion, under the prefix only; and the .deb.
#
#   cmake --install build/default --prefix ~/.local      (or any prefix)
#   cpack --config build/default/CPackConfig.cmake -G DEB
include(GNUInstallDirs)
set(ORBEL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orbel)

install(TARGETS orbel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES copyright DESTINATION ${ORBEL_DOC_DIR})

# orbel-cli's bash completion and manual page, written by orbel-cli-docs from
# the program's own command tree, so that they offer and describe exactly the
# commands and options it takes.
set(ORBEL_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${ORBEL_MAN_DIR})
set(completion ${CMAKE_CURRENT_BINARY_DIR}/orbel-cli.bash)
add_custom_command(
  OUTPUT ${completion}
  COMMAND orbel-cli-docs completion ${completion}
  DEPENDS orbel-cli-docs
  COMMENT "Writing orbel-cli's bash completion"
  VERBATIM)
add_custom_command(
  OUTPUT ${ORBEL_MAN_DIR}/orbel-cli.1.gz
  COMMAND orbel-cli-docs man ${CMAKE_CURRENT_SOURCE_DIR}/orbel-cli.man ${ORBEL_MAN_DIR}/orbel-cli.1
  # -n: no time stamp in the archive, so that the same page gives the same bytes.
  COMMAND gzip -9nf ${ORBEL_MAN_DIR}/orbel-cli.1
  DEPENDS orbel-cli-docs ${CMAKE_CURRENT_SOURCE_DIR}/orbel-cli.man
  COMMENT "Writing the manual page orbel-cli(1)"
  VERBATIM)
add_custom_target(orbel_cli_docs ALL DEPENDS ${completion} ${ORBEL_MAN_DIR}/orbel-cli.1.gz)
install(FILES ${completion} RENAME orbel-cli
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
install(FILES ${ORBEL_MAN_DIR}/orbel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The window's manual page, written by help2man from its own --help.
find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
  message(STATUS "No manual page for orbel: help2man is missing (scripts/install-deps installs it)")
endif()
set(ORBEL_MAN_PAGES "")
function(orbel_man_page name program summary)
  if(NOT HELP2MAN)
    return()
  endif()
  set(page ${ORBEL_MAN_DIR}/${name}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${HELP2MAN} --no-info --version-string=${PROJECT_VERSION} --name=${summary}
            --include=${CMAKE_CURRENT_SOURCE_DIR}/${name}.h2m --output=${page} ${program}
    COMMAND gzip -9nf ${page}
    DEPENDS ${name} ${CMAKE_CURRENT_SOURCE_DIR}/${name}.h2m
    COMMENT "Writing the manual page ${name}(1)"
    VERBATIM)
  set(ORBEL_MAN_PAGES ${ORBEL_MAN_PAGES} ${page}.gz PARENT_SCOPE)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# The window, its desktop entry and its icon: only where it is built.
if(TARGET orbel)
  install(TARGETS orbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES orbel.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  orbel_man_page(orbel $<TARGET_FILE:orbel>
                 "sunrise, sunset, moonrise, moonset and the moon's phase in a window")

  # The icon in the desktop's sizes, drawn by the program's own picture code
  # (make_icon) as the Windows icon is. Below 48 pixels the picture's outline
  # does not draw correctly, so the desktop scales these down.
  find_package(PNG)
  if(PNG_FOUND)
    set(icons "")
    foreach(size 48 64 128 256)
      set(icon ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/apps/orbel.png)
      add_custom_command(
        OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/apps
        COMMAND make_icon --png ${size} ${icon}
        DEPENDS make_icon
        COMMENT "Drawing the ${size} x ${size} icon"
        VERBATIM)
      list(APPEND icons ${icon})
    endforeach()
    add_custom_target(orbel_icons ALL DEPENDS ${icons})
    install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/icons/
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
  else()
    message(STATUS "No desktop icons: libpng is missing")
  endif()
endif()
if(ORBEL_MAN_PAGES)
  add_custom_target(orbel_man_pages ALL DEPENDS ${ORBEL_MAN_PAGES})
endif()

# The Debian package. dpkg-shlibdeps finds the libraries the programs load;
# the window's layout also needs the DejaVu Sans font, and the zone names the
# zone database, which no library check can see.
set(ORBEL_PACKAGE_MAINTAINER "Orbel developers <orbel@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")
# The package's changelog, with the version above.
configure_file(changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nfk ${CMAKE_CURRENT_BINARY_DIR}/changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog
  VERBATIM)
add_custom_target(orbel_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${ORBEL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Orbel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sunrise, sunset, moonrise, moonset and moon phases")
set(CPACK_PACKAGE_DESCRIPTION
    "Orbel tells, for one date and one place, the local clock times and azimuths of
sunrise, sunset, moonrise and moonset, and shows the moon's phase as a picture
with its name. The window (orbel) follows the system clock or a typed date;
the command-line tool (orbel-cli) writes reports, yearly tables in CSV or
JSON, the year's principal moon phases, and waits for an event or tells
whether the sun or the moon is up, for scripts and home automation.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORBEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, tzdata")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
