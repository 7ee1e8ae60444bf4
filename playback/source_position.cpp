#include "playback/source_position.h"

SourcePosition sourcePosition = {0.0f, 0.0f, 0.0f};
