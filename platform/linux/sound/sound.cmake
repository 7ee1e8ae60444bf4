# The DirectSound operations on Linux: 3D rendering by OpenAL Soft through a
# loopback device, played through SDL2.
find_package(SDL2 REQUIRED)
find_package(OpenAL REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SOUND3D_SOUND_DIR ${PROJECT_SOURCE_DIR}/platform/linux/sound)
add_library(sound3d_sound STATIC
  ${SOUND3D_SOUND_DIR}/direct_sound.cpp
  ${SOUND3D_SOUND_DIR}/hrtf_sets.cpp
  ${SOUND3D_SOUND_DIR}/output.cpp
  ${SOUND3D_SOUND_DIR}/output_thread.cpp
  ${SOUND3D_SOUND_DIR}/panning.cpp
  ${SOUND3D_SOUND_DIR}/renderer.cpp
  ${SOUND3D_SOUND_DIR}/session.cpp
)
target_include_directories(sound3d_sound PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(sound3d_sound PUBLIC SDL2::SDL2 OpenAL::OpenAL sound3d_guids)

# The light HRTF data set: OpenAL Soft's installed one with 8-tap filters in
# place of 32. The layer finds it from the executable's own location: in the
# installed tree's data directory, or in "hrtf" beside it in the build tree,
# where the program's is made and sound3d_ship_light_hrtf copies it beside others.
include(GNUInstallDirs)
set(SOUND3D_HRTF_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/sound3d/hrtf)
file(RELATIVE_PATH SOUND3D_INSTALLED_HRTF_DIRECTORY
     ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${SOUND3D_HRTF_INSTALL_DIR})
set_property(SOURCE ${SOUND3D_SOUND_DIR}/hrtf_sets.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  SOUND3D_INSTALLED_HRTF_DIRECTORY="${SOUND3D_INSTALLED_HRTF_DIRECTORY}")
set(SOUND3D_FULL_HRTF /usr/share/openal/hrtf/default-48000.mhr CACHE FILEPATH
    "OpenAL Soft's 48 kHz HRTF data set, source of the light one")
set(SOUND3D_LIGHT_HRTF ${CMAKE_BINARY_DIR}/hrtf/sound3d-light.mhr)
add_custom_command(
  OUTPUT ${SOUND3D_LIGHT_HRTF}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/hrtf
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/generate/make_light_hrtf.py
          ${SOUND3D_FULL_HRTF} ${SOUND3D_LIGHT_HRTF} 8
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/generate/make_light_hrtf.py ${SOUND3D_FULL_HRTF}
  COMMENT "Making the light HRTF data set"
  VERBATIM)
add_custom_target(sound3d_light_hrtf DEPENDS ${SOUND3D_LIGHT_HRTF})
add_dependencies(sound3d_sound sound3d_light_hrtf)

function(sound3d_ship_light_hrtf target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/hrtf
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${SOUND3D_LIGHT_HRTF}
            $<TARGET_FILE_DIR:${target}>/hrtf/
    VERBATIM)
endfunction()

