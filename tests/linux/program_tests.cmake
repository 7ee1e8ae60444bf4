# The whole program (app/, playback/, both Linux layers) on Qt's offscreen
# platform, with SDL's dummy audio driver in place of a sound card.
set(SOUND3D_PROGRAM_TEST_DRIVER
  ${CMAKE_CURRENT_SOURCE_DIR}/window_test_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/program_driver.cpp
  ${PROJECT_SOURCE_DIR}/app/win_main.cpp)
# Linked in the program's own order: the core calls into both layers.
set(SOUND3D_PROGRAM_TEST_LIBRARIES
  sound3d_core sound3d_window sound3d_sound sound3d_window_test_support Qt6::Test)

add_executable(sound3d_program_tests
  ${SOUND3D_PROGRAM_TEST_DRIVER}
  ${CMAKE_CURRENT_SOURCE_DIR}/program_dialog_test.cpp)
target_link_libraries(sound3d_program_tests PRIVATE ${SOUND3D_PROGRAM_TEST_LIBRARIES})
target_compile_options(sound3d_program_tests PRIVATE -fexec-charset=UTF-8)
target_compile_definitions(sound3d_program_tests PRIVATE
  SOUND3D_PROGRAM_PATH="$<TARGET_FILE:sound3d>")
add_dependencies(sound3d_program_tests sound3d)

# One variable per property: gtest_discover_tests splits a list value.
gtest_discover_tests(sound3d_program_tests
  TEST_FILTER "-ProgramNoDevice.*"
  PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "SDL_AUDIODRIVER=set:dummy"
  DISCOVERY_TIMEOUT 30)
# SDL's disk driver writing into a directory that does not exist: the
# device cannot be opened.
add_test(NAME ProgramNoDevice
  COMMAND sound3d_program_tests --gtest_filter=ProgramNoDevice.*)
set_tests_properties(ProgramNoDevice PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=disk;SDL_DISKAUDIOFILE=${CMAKE_CURRENT_BINARY_DIR}/missing-directory/out.raw"
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# The start/stop cycles under LeakSanitizer: any block lost fails the run.
add_executable(sound3d_program_leak_tests
  ${SOUND3D_PROGRAM_TEST_DRIVER}
  ${CMAKE_CURRENT_SOURCE_DIR}/program_leak_test.cpp)
target_link_libraries(sound3d_program_leak_tests PRIVATE ${SOUND3D_PROGRAM_TEST_LIBRARIES})
target_compile_options(sound3d_program_leak_tests PRIVATE -fexec-charset=UTF-8 -fno-omit-frame-pointer)
target_link_options(sound3d_program_leak_tests PRIVATE -fsanitize=leak)
gtest_discover_tests(sound3d_program_leak_tests
  PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "SDL_AUDIODRIVER=set:dummy"
    TIMEOUT 900
  DISCOVERY_TIMEOUT 30)
