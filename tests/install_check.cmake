# Installs the build into a scratch prefix and checks that the program, its desktop entry,
# its metainfo and its icons are where a desktop looks for them.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
    bin/kovalt
    share/applications/org.kovalt.Kovalt.desktop
    share/metainfo/org.kovalt.Kovalt.metainfo.xml
    share/icons/hicolor/32x32/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/64x64/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/128x128/apps/org.kovalt.Kovalt.png
    share/icons/hicolor/256x256/apps/org.kovalt.Kovalt.png)
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
message(STATUS "installed: ${expected}")
