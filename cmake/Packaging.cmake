# What the install step puts on a Linux system beyond the programs' own install rules, and
# the Debian package built from it: `make package` (cpack -G DEB in the build folder).
# Included from the top-level CMakeLists.txt.

include(GNUInstallDirs)

if(TARGET varkel-sim)
  install(TARGETS varkel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Manual pages, compressed as Debian installs them (gzip -9n: no name, no time stamp, so the
# same page gives the same bytes).
if(UNIX AND NOT APPLE)
  find_program(VARKEL_GZIP gzip)
  set(man_dir ${CMAKE_BINARY_DIR}/man)
  set(man_outputs)
  foreach(page varkel.1 varkel-sim.1)
    set(source ${PROJECT_SOURCE_DIR}/man/${page})
    if(VARKEL_GZIP)
      add_custom_command(
        OUTPUT ${man_dir}/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${man_dir}/${page}
        COMMAND ${VARKEL_GZIP} -9nf ${man_dir}/${page}
        DEPENDS ${source}
        COMMENT "Compressing the manual page ${page}"
        VERBATIM)
      list(APPEND man_outputs ${man_dir}/${page}.gz)
    else()
      list(APPEND man_outputs ${source})
    endif()
  endforeach()
  add_custom_target(varkel_man_pages ALL DEPENDS ${man_outputs})
  install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varkel)
set(CPACK_PACKAGE_VENDOR "Varkel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Varkel maintainers <maintainers@users.noreply.c-seed-f192329c.example>"
    CACHE STRING "The package's Maintainer field: name <address>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "impedance recorder for a lock-in amplifier on a serial port")
# The Debian description's extended part, below the summary: a lone "." is an empty line
# (CPack indents every line).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Varkel records the complex impedance of a sample over time through a lock-in
amplifier on a serial port. Each reading asks the amplifier for amplitude and
phase while the port's DTR line switches an external selector between the
voltage across the sample and the current through it. Every reading becomes a
line of seven numbers in a text data file, and two live charts show impedance
and phase against time.
.
The package holds the desktop program, its headless modes for recording and
plotting from the command line, and varkel-sim, a simulated amplifier on a
pseudo-terminal for trying the program without hardware.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
