// A dialog template as the resource script lays it out, generated at build
// time from that script (tools/rc_template.py). Texts are UTF-8; positions
// and sizes are in dialog units.
#pragma once

#include <cstdint>

// Style bits that more than one part of the layer reads from a template.
const uint32_t WS_VISIBLE = 0x10000000;
const uint32_t WS_DISABLED = 0x08000000;
const uint32_t WS_TABSTOP = 0x00010000;

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
