# The whole program (app/, playback/, both Linux layers) on Qt's offscreen
# platform, with SDL's dummy audio driver in place of a sound card, under
# LeakSanitizer.
add_executable(sound3d_program_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/window_test_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/program_test.cpp
  ${PROJECT_SOURCE_DIR}/app/win_main.cpp)
target_link_libraries(sound3d_program_tests PRIVATE sound3d_core sound3d_window_test_support)
target_compile_options(sound3d_program_tests PRIVATE -fexec-charset=UTF-8 -fno-omit-frame-pointer)
target_link_options(sound3d_program_tests PRIVATE -fsanitize=leak)

# One variable per property: gtest_discover_tests splits a list value.
gtest_discover_tests(sound3d_program_tests
  PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "SDL_AUDIODRIVER=set:dummy"
    TIMEOUT 900
  DISCOVERY_TIMEOUT 30)
