# The Windows executable: entry point, icon, dialog template, clip, manifest
# and version.
enable_language(RC)
include(${PROJECT_SOURCE_DIR}/cmake/icon.cmake)
configure_file(${PROJECT_SOURCE_DIR}/resources/sound3d_version.h.in
               ${CMAKE_BINARY_DIR}/generated/sound3d_version.h)

add_executable(sound3d WIN32
  app/win_main.cpp
  resources/sound3d.rc
)
target_link_libraries(sound3d PRIVATE sound3d_core)
# The resource compiler finds the made icon and version header here.
target_include_directories(sound3d PRIVATE ${CMAKE_BINARY_DIR}/generated)
add_dependencies(sound3d sound3d_icons)
set_property(SOURCE resources/sound3d.rc APPEND PROPERTY OBJECT_DEPENDS
  ${SOUND3D_ICO}
  ${CMAKE_BINARY_DIR}/generated/sound3d_version.h
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/clip.raw
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/sound3d.manifest
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/resource_ids.h)
add_subdirectory(tests/e2e)
