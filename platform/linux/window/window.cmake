# Placeholder until the window layer lands.
add_library(sound3d_window INTERFACE)
