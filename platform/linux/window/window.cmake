# The window layer: the Win32 dialog and control functions the program uses,
# on Qt 6 Widgets. The dialog template is read from the same resource script
# the Windows build compiles.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SOUND3D_WINDOW_DIR ${PROJECT_SOURCE_DIR}/platform/linux/window)
set(SOUND3D_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

include(${PROJECT_SOURCE_DIR}/cmake/dialog_templates.cmake)

# The window icon: the same sound3d.ico as the Windows program's, embedded.
include(${PROJECT_SOURCE_DIR}/cmake/icon.cmake)
add_custom_command(
  OUTPUT ${SOUND3D_GENERATED_DIR}/icon_data.cpp
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/generate/embed_file.py
          ${SOUND3D_ICO} ${SOUND3D_GENERATED_DIR}/icon_data.cpp ICON_BYTES
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/generate/embed_file.py ${SOUND3D_ICO}
  COMMENT "Embedding sound3d.ico"
  VERBATIM)

add_library(sound3d_window STATIC
  ${SOUND3D_WINDOW_DIR}/accessibility.cpp
  ${SOUND3D_WINDOW_DIR}/application.cpp
  ${SOUND3D_WINDOW_DIR}/controls.cpp
  ${SOUND3D_WINDOW_DIR}/dialog_box.cpp
  ${SOUND3D_WINDOW_DIR}/dialog_units.cpp
  ${SOUND3D_WINDOW_DIR}/dialog_window.cpp
  ${SOUND3D_WINDOW_DIR}/trackbar.cpp
  ${SOUND3D_WINDOW_DIR}/window_text.cpp
  ${SOUND3D_WINDOW_DIR}/windows_1251.cpp
  # Pulled from the archive only by a program without a main of its own.
  ${SOUND3D_WINDOW_DIR}/main.cpp
  ${SOUND3D_GENERATED_DIR}/icon_data.cpp
)
target_include_directories(sound3d_window PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(sound3d_window PUBLIC Qt6::Widgets sound3d_resources sound3d_dialog_templates)
# Qt strings are UTF-8; the program's own texts arrive in Windows-1251.
target_compile_options(sound3d_window PRIVATE -fexec-charset=UTF-8)
target_compile_definitions(sound3d_window PRIVATE SOUND3D_APP_ID="${SOUND3D_APP_ID}")
