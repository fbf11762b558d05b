# The program's resources, made from the one list of pictures in platform/picture_table.def:
#   KOVALT_PICTURES                     the pictures' file stems, in the table's order
#   ${PROJECT_BINARY_DIR}/kovalt.qrc    the resource list: every picture at 1x, 2x and 3x, the
#                                       window's icons and the sounds
#   ${PROJECT_BINARY_DIR}/embedded_pictures.cpp
#                                       the pictures at scale 1 as pixels in the program, so the
#                                       first screen needs no PNG decoded

set(picture_table ${PROJECT_SOURCE_DIR}/platform/picture_table.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${picture_table})
file(STRINGS ${picture_table} picture_rows ENCODING UTF-8 REGEX "^PICTURE\\(")
set(KOVALT_PICTURES)
foreach(row IN LISTS picture_rows)
  if(NOT row MATCHES "^PICTURE\\([A-Za-z0-9]+, \"([A-Z0-9_]+)\",")
    message(FATAL_ERROR "picture_table.def: cannot read the stem of: ${row}")
  endif()
  list(APPEND KOVALT_PICTURES ${CMAKE_MATCH_1})
endforeach()
if(NOT KOVALT_PICTURES)
  message(FATAL_ERROR "picture_table.def names no picture")
endif()

set(resources)
set(pictures_1x)
foreach(stem IN LISTS KOVALT_PICTURES)
  list(APPEND pictures_1x ${PROJECT_SOURCE_DIR}/assets/pictures/${stem}.png)
  foreach(suffix "" "@2x" "@3x")
    list(APPEND resources pictures/${stem}${suffix}.png)
  endforeach()
endforeach()
list(APPEND resources icon/kovalt-32.png icon/kovalt-64.png icon/kovalt-128.png
     icon/kovalt-256.png sounds/kinshi.wav sounds/koma.wav sounds/shuukyoku.wav sounds/sonota.wav)
set(qrc "<RCC>\n  <qresource prefix=\"/\">\n")
foreach(file IN LISTS resources)
  string(APPEND qrc "    <file alias=\"${file}\">${PROJECT_SOURCE_DIR}/assets/${file}</file>\n")
endforeach()
string(APPEND qrc "  </qresource>\n</RCC>\n")
# Written only when it changes, so a new configure does not rebuild the resources.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/kovalt.qrc CONTENT "${qrc}")

add_executable(kovalt_embed_pictures ${PROJECT_SOURCE_DIR}/tools/embed_pictures.cpp)
target_link_libraries(kovalt_embed_pictures PRIVATE Qt6::Gui)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/embedded_pictures.cpp
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:kovalt_embed_pictures> ${PROJECT_SOURCE_DIR}/assets/pictures
          ${PROJECT_BINARY_DIR}/embedded_pictures.cpp ${KOVALT_PICTURES}
  DEPENDS kovalt_embed_pictures ${pictures_1x} ${picture_table} VERBATIM)
