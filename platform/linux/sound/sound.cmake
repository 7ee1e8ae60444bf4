# Placeholder until the sound layer lands.
add_library(sound3d_sound INTERFACE)
