# The sound layer on the real OpenAL Soft and SDL2: the renderer without any
# device, and the DirectSound objects, started by the program's own sequence,
# on SDL's disk output (a file per test).
add_executable(sound_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_measure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_render_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_device_test.cpp
)
# The core's start sequence reads the embedded clip through the window layer.
target_link_libraries(sound_tests PRIVATE GTest::gtest_main sound3d_core sound3d_window sound3d_sound)
sound3d_ship_light_hrtf(sound_tests)
gtest_discover_tests(sound_tests PROPERTIES TIMEOUT 60)
