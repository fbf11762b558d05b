# Installs the desktop entry with Exec= set to the program's installed path. Run by
# `cmake --install` (and so by cpack), with KOVALT_DESKTOP_ENTRY, KOVALT_STAGE_DIR,
# KOVALT_GAMESDIR and KOVALT_DATADIR set by the project.
set(program "${CMAKE_INSTALL_PREFIX}/${KOVALT_GAMESDIR}/kovalt")
# Exec= would need quoting and escaping for anything else; refuse rather than write a broken entry.
if(NOT program MATCHES "^[A-Za-z0-9_./+-]+$")
  message(FATAL_ERROR "cannot name ${program} in a desktop entry: use a prefix of letters, "
                      "digits and / . _ + - only")
endif()
file(READ "${KOVALT_DESKTOP_ENTRY}" entry)
string(REPLACE "\nExec=kovalt\n" "\nExec=${program}\n" installed "${entry}")
if(installed STREQUAL entry)
  message(FATAL_ERROR "${KOVALT_DESKTOP_ENTRY}: no line Exec=kovalt to point at ${program}")
endif()
file(WRITE "${KOVALT_STAGE_DIR}/org.kovalt.Kovalt.desktop" "${installed}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${KOVALT_DATADIR}/applications" TYPE FILE
     FILES "${KOVALT_STAGE_DIR}/org.kovalt.Kovalt.desktop")
