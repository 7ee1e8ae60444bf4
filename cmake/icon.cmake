# The program's icon, made at build time from its one artwork,
# resources/sound3d.svg: a PNG picture for each size the desktop's icon theme
# takes, and sound3d.ico with the sizes a Windows program carries. Needs
# rsvg-convert (librsvg) and Python 3.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SOUND3D_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/sound3d.svg)
set(SOUND3D_ICON_DIR ${CMAKE_BINARY_DIR}/generated/icons)
set(SOUND3D_ICON_SIZES 16 24 32 48 64 128 256)
set(SOUND3D_ICO_SIZES 16 32 48 256)
set(SOUND3D_ICO ${CMAKE_BINARY_DIR}/generated/sound3d.ico)

foreach(size IN LISTS SOUND3D_ICON_SIZES)
  set(picture ${SOUND3D_ICON_DIR}/${size}/sound3d.png)
  add_custom_command(
    OUTPUT ${picture}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SOUND3D_ICON_DIR}/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${picture} ${SOUND3D_ICON_SVG}
    DEPENDS ${SOUND3D_ICON_SVG}
    COMMENT "Drawing the ${size} px icon"
    VERBATIM)
  list(APPEND SOUND3D_ICON_PICTURES ${picture})
endforeach()

set(ico_pictures)
foreach(size IN LISTS SOUND3D_ICO_SIZES)
  list(APPEND ico_pictures ${SOUND3D_ICON_DIR}/${size}/sound3d.png)
endforeach()
add_custom_command(
  OUTPUT ${SOUND3D_ICO}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/generate/make_ico.py ${SOUND3D_ICO} ${ico_pictures}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/generate/make_ico.py ${ico_pictures}
  COMMENT "Packing sound3d.ico"
  VERBATIM)
add_custom_target(sound3d_icons DEPENDS ${SOUND3D_ICON_PICTURES} ${SOUND3D_ICO})
