// Where the sound source stands, as the position trackbars set it.
#pragma once

struct SourcePosition {
    float x;
    float y;
    float z;
};

extern SourcePosition sourcePosition;
