#include "platform/linux/window/application.h"

#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QIcon>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// Generated from the build's sound3d.ico by tools/generate/embed_file.py.
extern const unsigned char ICON_BYTES[];
extern const size_t ICON_BYTES_SIZE;

namespace {

// DialogBoxParam's -1, as the process's exit code.
const int EXIT_NO_DIALOG = 255;

// The program takes no options, Qt's own among them.
char programName[] = "sound3d";
char* arguments[] = {programName, nullptr};
int argumentCount = 1;

std::unique_ptr<QApplication> application;

// Qt's messages while the platform plugin starts are kept back, so that a
// missing display ends in one line of ours rather than Qt's explanation;
// the first warning names the cause ("could not connect to display").
QString firstStartupMessage;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& /*context*/,
                        const QString& text) {
    if (firstStartupMessage.isEmpty()) {
        firstStartupMessage = text.section(QLatin1Char('\n'), 0, 0);
    }
    if (type != QtFatalMsg) {
        return;
    }
    const QString cause = firstStartupMessage.trimmed();
    std::fprintf(stderr, "sound3d: cannot show the dialog: no usable display (%s)\n",
                 cause.toLocal8Bit().constData());
    std::fflush(stderr);
    _exit(EXIT_NO_DIALOG);
}

// Every size sound3d.ico holds, so the window system picks the one it needs.
QIcon ProgramIcon() {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(ICON_BYTES),
                                               static_cast<qsizetype>(ICON_BYTES_SIZE));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

// With no session bus to find, libdbus would start one for Qt that outlives
// the program; without a bus there is nobody to talk to anyway (a screen
// reader needs one), so the search is ended there.
void KeepDbusFromStartingABus() {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) {
        return;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0) {
        return;  // the user's bus, which libdbus finds there by itself
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

}  // namespace

void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        KeepDbusFromStartingABus();
        // A Wayland compositor finds the window's name and icon by its app
        // id, which must be the desktop entry's name.
        QGuiApplication::setDesktopFileName(QStringLiteral(SOUND3D_APP_ID));
        const QtMessageHandler previousHandler = qInstallMessageHandler(HoldStartupMessage);
        application = std::make_unique<QApplication>(argumentCount, arguments);
        qInstallMessageHandler(previousHandler);
        QApplication::setWindowIcon(ProgramIcon());
    }
    // Closing an error box while the dialog is hidden must not end every
    // event loop, the dialog's among them.
    QApplication::setQuitOnLastWindowClosed(false);
}

void ShutDownApplication() { application.reset(); }
