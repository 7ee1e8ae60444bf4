# The DirectSound operations on Linux: 3D rendering by OpenAL Soft through a
# loopback device, played through SDL2.
find_package(SDL2 REQUIRED)
find_package(OpenAL REQUIRED)

set(SOUND3D_SOUND_DIR ${PROJECT_SOURCE_DIR}/platform/linux/sound)
add_library(sound3d_sound STATIC
  ${SOUND3D_SOUND_DIR}/devices.cpp
  ${SOUND3D_SOUND_DIR}/device_state.cpp
  ${SOUND3D_SOUND_DIR}/output.cpp
  ${SOUND3D_SOUND_DIR}/primary_buffer.cpp
  ${SOUND3D_SOUND_DIR}/renderer.cpp
  ${SOUND3D_SOUND_DIR}/sound_device.cpp
  ${SOUND3D_SOUND_DIR}/source_buffer.cpp
  ${SOUND3D_SOUND_DIR}/speaker_config.cpp
  ${SOUND3D_SOUND_DIR}/wave_format.cpp
)
target_include_directories(sound3d_sound PUBLIC ${PROJECT_SOURCE_DIR})
# The GUID values (IID_IDirectSound3DBuffer and the algorithms) come from sound3d_core.
target_link_libraries(sound3d_sound PUBLIC SDL2::SDL2 OpenAL::OpenAL sound3d_core)
