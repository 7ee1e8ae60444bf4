# The program that measures every choice of the dialog through the sound
# layer's renderer; bench/choices/measure_choices.py runs it.
add_executable(measure_choices
  ${PROJECT_SOURCE_DIR}/bench/choices/measure_choices.cpp
  ${PROJECT_SOURCE_DIR}/harness/sound_measure.cpp
)
target_link_libraries(measure_choices PRIVATE sound3d_sound)
sound3d_ship_light_hrtf(measure_choices)
