// Baseline for the launch and memory benchmarks of the Linux build: the same
// dialog sound3d shows -- caption, size and its 18 controls (four lists, one
// of them editable, the labels, the button, three sliders and their
// readouts) at the same places -- written plainly on Qt 6 Widgets, with no
// window layer in between.  Like sound3d it fills the device list with SDL's
// output devices, since any such dialog must start the audio system for
// that; whatever sound3d costs on top of this is its layers' and its own.
//
// Closing the window (WM_DELETE_WINDOW) or Escape ends it with exit code 0;
// 1 if the audio system does not start.
//
// Built by bench/run_linux.sh:
//   g++ -std=c++17 -O2 -fPIC minimal_dialog.cpp -o minimal_dialog
//       $(pkg-config --cflags --libs Qt6Widgets sdl2)

#include <SDL.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

// The template's dialog units for an 8-point system font at 96 dpi: 6 by 13
// pixels per 4 by 8 units.
QRect Units(int x, int y, int w, int h) {
    return QRect(x * 6 / 4, y * 13 / 8, w * 6 / 4, h * 13 / 8);
}

QComboBox* AddList(QDialog* dialog, const QRect& at, const QStringList& items, int selected,
                   bool editable) {
    auto* list = new QComboBox(dialog);
    list->setEditable(editable);
    list->addItems(items);
    list->setCurrentIndex(selected);
    // A drop-down's height in the template includes its open list; the
    // closed box keeps its own.
    list->setGeometry(at.x(), at.y(), at.width(), list->sizeHint().height());
    return list;
}

void AddLabel(QDialog* dialog, const QRect& at, const QString& text) {
    (new QLabel(text, dialog))->setGeometry(at);
}

void AddSlider(QDialog* dialog, const QRect& at, Qt::Orientation orientation) {
    auto* slider = new QSlider(orientation, dialog);
    slider->setRange(-2000, 2000);
    slider->setValue(0);
    slider->setGeometry(at);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("minimal dialog");
    dialog.setFixedSize(Units(0, 0, 202, 191).size());

    AddList(&dialog, Units(75, 55, 60, 90), {"Нет", "Частичная", "Полная"}, 2, false);
    AddLabel(&dialog, Units(5, 60, 63, 8), "Виртуализация");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 1;
    QStringList devices;
    for (int i = 0; i < SDL_GetNumAudioDevices(0); ++i) {
        if (const char* name = SDL_GetAudioDeviceName(i, 0))
            devices << QString::fromUtf8(name);
    }
    AddList(&dialog, Units(65, 5, 130, 89), devices, 0, false);
    AddLabel(&dialog, Units(5, 10, 53, 8), "Устройство");
    (new QPushButton("Старт", &dialog))->setGeometry(Units(160, 55, 35, 14));
    AddSlider(&dialog, Units(15, 86, 100, 15), Qt::Horizontal);
    AddSlider(&dialog, Units(55, 110, 15, 75), Qt::Vertical);
    AddSlider(&dialog, Units(131, 80, 15, 105), Qt::Vertical);
    AddLabel(&dialog, Units(5, 90, 8, 8), "X");
    AddLabel(&dialog, Units(41, 145, 8, 8), "Y");
    AddLabel(&dialog, Units(121, 130, 8, 8), "Z");
    AddLabel(&dialog, Units(160, 95, 35, 8), "X= 000.00");
    AddLabel(&dialog, Units(160, 110, 35, 8), "Y= 000.00");
    AddLabel(&dialog, Units(160, 125, 35, 8), "Z= 000.00");
    AddLabel(&dialog, Units(5, 35, 40, 8), "Излучатели");
    AddList(&dialog, Units(65, 30, 70, 110),
            {"Наушники", "Моно", "Квадроколонки", "Стереоколонки", "Система Surround",
             "Система 5point1"},
            0, false);
    AddLabel(&dialog, Units(145, 35, 18, 8), "Угол");
    AddList(&dialog, Units(165, 30, 30, 65), {"5", "10", "20", "180"}, 1, true);

    dialog.exec();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
}
