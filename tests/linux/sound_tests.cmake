# The sound layer on the real OpenAL Soft and SDL2: the renderer without any
# device, the DirectSound objects on SDL's disk output (a file per test).
add_executable(sound_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_measure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_render_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_device_test.cpp
)
target_link_libraries(sound_tests PRIVATE sound3d_sound GTest::gtest_main)
sound3d_ship_light_hrtf(sound_tests)
gtest_discover_tests(sound_tests PROPERTIES TIMEOUT 60)
