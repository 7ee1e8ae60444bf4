# The sound layer on the real OpenAL Soft and SDL2: the renderer without any
# device, and the DirectSound objects, started by the program's own sequence
# with noise for the clip, on SDL's disk output (a file per test).
add_executable(sound_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_measure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_render_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_device_test.cpp
)
target_link_libraries(sound_tests PRIVATE GTest::gtest_main sound3d_core sound3d_sound)
sound3d_ship_light_hrtf(sound_tests)
gtest_discover_tests(sound_tests PROPERTIES TIMEOUT 60)

# The same start sequence against a real PulseAudio and a real PipeWire,
# each started privately with null sinks by sound_server.sh, and the whole
# program on a private X server.
add_executable(sound_server_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_measure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_server_test.cpp
)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
target_link_libraries(sound_server_tests PRIVATE
  GTest::gtest_main sound3d_core sound3d_resources sound3d_sound PkgConfig::PULSE_SIMPLE)
target_compile_options(sound_server_tests PRIVATE -fno-omit-frame-pointer)
# Under LeakSanitizer: what a stalled server held must be given back once it resumes.
target_link_options(sound_server_tests PRIVATE -fsanitize=leak)
sound3d_ship_light_hrtf(sound_server_tests)
foreach(server pulseaudio pipewire)
  add_test(NAME SoundServer.${server}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/sound_server.sh ${server}
            xvfb-run -a -s "-nolisten tcp" $<TARGET_FILE:sound_server_tests>)
  set_tests_properties(SoundServer.${server} PROPERTIES TIMEOUT 120
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp:print_suppressions=0")
endforeach()
target_compile_definitions(sound_server_tests PRIVATE SOUND3D_PROGRAM_PATH="$<TARGET_FILE:sound3d>")
add_dependencies(sound_server_tests sound3d)
