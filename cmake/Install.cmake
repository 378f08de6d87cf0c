# What `cmake --install` puts where, and the Debian packages CPack makes of it:
# "quillet" holds the program, its manual page and its documentation and needs
# no Qt; "quillet-window" adds the window front end's module, the desktop entry
# and the icon.
include(GNUInstallDirs)

# On Windows, a zip for users to unpack anywhere: quillet.exe and a README that
# says how to run it from a command prompt and from the Task Scheduler.
if(WIN32)
  install(TARGETS quillet RUNTIME DESTINATION . COMPONENT program)
  install(FILES docs/windows-readme.txt DESTINATION . RENAME README.txt COMPONENT program)
  set(CPACK_PACKAGE_NAME quillet)
  set(CPACK_PACKAGE_VENDOR "Quillet")
  set(CPACK_SYSTEM_NAME windows-x64)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
if(NOT WIN32)
  # The modules that quillet loads when a run zips, compacts or uses the trash.
  install(TARGETS quillet_zip32 quillet_sqlite quillet_desktop LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/quillet
          COMPONENT program)
endif()
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillet COMPONENT program)

# The manual page is written for scdoc and turned into roff when the program is built.
find_program(SCDOC scdoc)
if(SCDOC)
  set(QUILLET_MAN_PAGE ${CMAKE_BINARY_DIR}/quillet.1)
  add_custom_command(OUTPUT ${QUILLET_MAN_PAGE}
    COMMAND ${SCDOC} < ${PROJECT_SOURCE_DIR}/docs/quillet.1.scd > ${QUILLET_MAN_PAGE}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/quillet.1.scd
    COMMENT "Writing the manual page quillet.1")
  add_custom_target(quillet_man_page ALL DEPENDS ${QUILLET_MAN_PAGE})
  install(FILES ${QUILLET_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
else()
  message(WARNING "scdoc not found: the manual page is neither built nor installed")
endif()

if(QUILLET_WITH_QT)
  install(TARGETS quillet_window LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/quillet COMPONENT window)
  install(FILES resources/quillet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
  install(FILES resources/quillet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT window)
endif()

set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Quillet")
set(CPACK_PACKAGE_CONTACT "Quillet developers <quillet@quillet.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make dated snapshots of a folder")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet copies the files of a folder into a new snapshot folder named after the\n\
date and time, can delete older snapshots, compact database files and pack the\n\
snapshot into an encrypted zip archive. It runs in a terminal, from cron or a\n\
systemd timer, and reports every failure in its exit status and the system log.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME quillet)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SUGGESTS "quillet-window, trash-cli")
set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME quillet-window)
set(CPACK_DEBIAN_WINDOW_PACKAGE_SECTION x11)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_COMPONENT_WINDOW_DESCRIPTION "the window front end of quillet\n\
The window that quillet shows while it works when a display is there. Without\n\
it quillet runs in the terminal.")
set(CPACK_COMPONENT_WINDOW_DEPENDS program)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
include(CPack)
