# The program's embedded resources (the clip) and their lookup, without Qt,
# for both layers' users: the window layer's program and the sound tests.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SOUND3D_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
add_custom_command(
  OUTPUT ${SOUND3D_GENERATED_DIR}/clip_data.cpp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SOUND3D_GENERATED_DIR}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/generate/embed_file.py
          ${PROJECT_SOURCE_DIR}/resources/clip.raw ${SOUND3D_GENERATED_DIR}/clip_data.cpp CLIP_BYTES
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/generate/embed_file.py ${PROJECT_SOURCE_DIR}/resources/clip.raw
  COMMENT "Embedding clip.raw"
  VERBATIM)

add_library(sound3d_resources STATIC
  ${PROJECT_SOURCE_DIR}/platform/linux/resources.cpp
  ${SOUND3D_GENERATED_DIR}/clip_data.cpp
)
target_include_directories(sound3d_resources PUBLIC ${PROJECT_SOURCE_DIR})
