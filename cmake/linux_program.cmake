# The native Linux program: the same app/ and playback/ over a window layer on
# Qt 6 Widgets and a sound layer on OpenAL Soft with SDL2 for the output.

# The desktop entry's name, which the window gives the compositor as its app id.
set(SOUND3D_APP_ID local.sound3d.Sound3D)  # no public domain yet to name it by

include(${PROJECT_SOURCE_DIR}/platform/linux/resources.cmake)
include(${PROJECT_SOURCE_DIR}/platform/linux/sound/sound.cmake)
include(${PROJECT_SOURCE_DIR}/platform/linux/window/window.cmake)

target_link_libraries(sound3d_platform INTERFACE sound3d_window sound3d_sound)

add_executable(sound3d app/win_main.cpp)
target_link_libraries(sound3d PRIVATE sound3d_core)
include(${PROJECT_SOURCE_DIR}/cmake/linux_package.cmake)

if(BUILD_TESTING)
  add_subdirectory(tests/linux)
endif()
if(SOUND3D_BENCH)
  add_subdirectory(bench)
endif()
