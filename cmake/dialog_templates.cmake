# The dialog templates of resources/sound3d.rc as a C++ table, read by
# tools/generate/rc_template.py with the SDK's values from platform/win32_decls.h: for
# the Linux window layer, which has no resource compiler, and for the
# end-to-end driver, which holds Wine's dialog against them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SOUND3D_DIALOG_TABLE ${CMAKE_BINARY_DIR}/generated/dialog_templates.cpp)
add_custom_command(
  OUTPUT ${SOUND3D_DIALOG_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/generate/rc_template.py
          ${PROJECT_SOURCE_DIR}/resources/sound3d.rc ${PROJECT_SOURCE_DIR}/platform/win32_decls.h
          ${SOUND3D_DIALOG_TABLE}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/generate/rc_template.py
          ${PROJECT_SOURCE_DIR}/resources/sound3d.rc
          ${PROJECT_SOURCE_DIR}/resources/resource_ids.h
          ${PROJECT_SOURCE_DIR}/platform/win32_decls.h
  COMMENT "Reading the dialog template from sound3d.rc"
  VERBATIM)

add_library(sound3d_dialog_templates STATIC
  ${SOUND3D_DIALOG_TABLE}
  ${PROJECT_SOURCE_DIR}/resources/dialog_template.cpp
)
target_include_directories(sound3d_dialog_templates PUBLIC ${PROJECT_SOURCE_DIR})
