# The sound layer's renderer on the real OpenAL Soft, without any device.
add_executable(sound_tests
  ${PROJECT_SOURCE_DIR}/harness/sound_measure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_output_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_render_test.cpp
)
target_link_libraries(sound_tests PRIVATE GTest::gtest_main sound3d_sound)
sound3d_ship_light_hrtf(sound_tests)
# With OpenAL Soft's warnings on standard error, where a test reads them.
gtest_discover_tests(sound_tests PROPERTIES TIMEOUT 60 ENVIRONMENT "ALSOFT_LOGLEVEL=2")

# The same start sequence against a real PulseAudio and a real PipeWire,
# each started privately with null sinks by sound_server.sh.
# They run in the program's dialog on Qt's offscreen platform.
add_executable(sound_server_tests
  ${PROJECT_SOURCE_DIR}/harness/sound_measure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_server_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_test_main.cpp
)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
target_link_libraries(sound_server_tests PRIVATE
  sound3d_core sound3d_window_test_support PkgConfig::PULSE_SIMPLE)
target_compile_options(sound_server_tests PRIVATE -fexec-charset=UTF-8 -fno-omit-frame-pointer)
# Under LeakSanitizer: what a stalled server held must be given back once it resumes.
target_link_options(sound_server_tests PRIVATE -fsanitize=leak)
sound3d_ship_light_hrtf(sound_server_tests)
foreach(server pulseaudio pipewire)
  add_test(NAME SoundServer.${server}
    COMMAND ${PROJECT_SOURCE_DIR}/harness/sound_server.sh ${server} $<TARGET_FILE:sound_server_tests>)
  set_tests_properties(SoundServer.${server} PROPERTIES TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp:print_suppressions=0")
endforeach()
