# The window layer alone, on Qt's offscreen platform, driven by the tests'
# own dialog procedures over the program's real template.
find_package(Qt6 REQUIRED COMPONENTS Test)

add_library(sound3d_window_test_support STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/window_test_support.cpp)
target_link_libraries(sound3d_window_test_support PUBLIC sound3d_window GTest::gtest Qt6::Test)
target_compile_options(sound3d_window_test_support PRIVATE -fexec-charset=UTF-8)

add_executable(sound3d_window_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/window_test_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_dialog_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_resource_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_text_test.cpp)
target_link_libraries(sound3d_window_tests PRIVATE sound3d_window_test_support Qt6::Test)
# Qt strings in the tests are UTF-8; Windows-1251 bytes are written as escapes.
target_compile_options(sound3d_window_tests PRIVATE -fexec-charset=UTF-8)
target_compile_definitions(sound3d_window_tests PRIVATE
  SOUND3D_CLIP_PATH="${PROJECT_SOURCE_DIR}/resources/clip.raw")
gtest_discover_tests(sound3d_window_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_TIMEOUT 30)

# The whole program as a screen reader meets it, over the real AT-SPI: on X,
# and on Wayland (a private headless sway) playing on a private PulseAudio.
add_test(NAME ScreenReader.x11
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/screen_reader_test.sh x11 $<TARGET_FILE:sound3d>)
add_test(NAME ScreenReader.wayland
  COMMAND ${PROJECT_SOURCE_DIR}/harness/sound_server.sh pulseaudio
          ${CMAKE_CURRENT_SOURCE_DIR}/screen_reader_test.sh wayland $<TARGET_FILE:sound3d>)
set_tests_properties(ScreenReader.x11 ScreenReader.wayland PROPERTIES TIMEOUT 60)
