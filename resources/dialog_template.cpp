#include "resources/dialog_template.h"

const DialogTemplate* FindDialogTemplate(int id) {
    for (int i = 0; i < DIALOG_TEMPLATE_COUNT; ++i) {
        if (DIALOG_TEMPLATES[i].id == id) {
            return &DIALOG_TEMPLATES[i];
        }
    }
    return nullptr;
}
