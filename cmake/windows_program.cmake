# The Windows executable: entry point, dialog template, clip and manifest.
enable_language(RC)

add_executable(sound3d WIN32
  app/win_main.cpp
  resources/sound3d.rc
)
target_link_libraries(sound3d PRIVATE sound3d_core)
set_property(SOURCE resources/sound3d.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/clip.raw
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/sound3d.manifest
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/resource_ids.h)
add_subdirectory(tests/e2e)
