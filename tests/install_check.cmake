# Installs the build into a scratch prefix and checks that the program, its desktop entry,
# its metainfo, its icons, its manual page and its documents are where a desktop and Debian
# look for them, and that the desktop entry starts the installed program.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
    ${GAMESDIR}/kovalt
    ${MODULEDIR}/kovalt_sound.so
    share/applications/org.kovalt.Kovalt.desktop
    share/metainfo/org.kovalt.Kovalt.metainfo.xml
    share/icons/hicolor/32x32/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/48x48/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/64x64/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/128x128/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/256x256/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/scalable/apps/org.kovalt.Kovalt.svg
    share/man/man6/kovalt.6.gz
    share/doc/kovalt/copyright
    share/doc/kovalt/changelog.gz
    share/doc/kovalt/how-to-play.md)
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(STRINGS "${PREFIX}/share/applications/org.kovalt.Kovalt.desktop" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${PREFIX}/${GAMESDIR}/kovalt")
  message(FATAL_ERROR "the desktop entry does not start the installed program: ${exec}")
endif()

# Every PNG icon is as large as the folder it is in says.
file(GLOB_RECURSE pngs "${PREFIX}/share/icons/*.png")
foreach(png IN LISTS pngs)
  file(READ "${png}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  if(NOT png MATCHES "/${width}x${height}/apps/")
    message(FATAL_ERROR "${png} is ${width} x ${height}")
  endif()
endforeach()
# The program finds its sound module where it was installed.
file(RELATIVE_PATH from_program "${PREFIX}/${GAMESDIR}" "${PREFIX}/${MODULEDIR}")
file(STRINGS "${PREFIX}/${GAMESDIR}/kovalt" named REGEX "${from_program}" LIMIT_COUNT 1)
if(named STREQUAL "")
  message(FATAL_ERROR "the program does not look for its sound module in ${from_program}")
endif()
message(STATUS "installed: ${expected}")
