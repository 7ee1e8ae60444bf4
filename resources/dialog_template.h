// The dialog templates as the resource script lays them out, read from it at
// build time (tools/generate/rc_template.py) for the builds that have no resource
// compiler to read it. Texts are UTF-8; positions and sizes are in dialog units.
#pragma once

#include <cstdint>

struct DialogRect {
    int x;
    int y;
    int width;
    int height;
};

struct ControlTemplate {
    int id;
    const char* className;
    const char* text;
    uint32_t style;
    DialogRect rect;
};

struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFamily;
    int fontPointSize;
    uint32_t style;
    DialogRect rect;
    const ControlTemplate* controls;
    int controlCount;
};

extern const DialogTemplate DIALOG_TEMPLATES[];
extern const int DIALOG_TEMPLATE_COUNT;

// The template with that resource identifier, or null.
const DialogTemplate* FindDialogTemplate(int id);
