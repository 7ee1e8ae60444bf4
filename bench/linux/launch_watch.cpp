// Times a dialog program's launch from the X server's side: from just before
// fork+exec to (1) the server mapping a top-level window with the given
// caption and (2) the window's whole area having been drawn after that (the
// DAMAGE extension reports the drawing the server does, so the time is when
// the pixels are there, not when the program thinks it painted).  Then it
// closes the window as a window manager would (WM_DELETE_WINDOW) and waits
// for the program to exit with code 0.
//
// Usage: launch_watch CAPTION TIMEOUT_MS PROGRAM [ARGS...]
// Output: "map_ms VALUE", "paint_ms VALUE" and "hwm_kb VALUE" (the program's
// peak resident memory once drawn) on stdout; exit code 0.
// Exit code 1 with "error: ..." on stderr when the program exits early,
// shows nothing or does not close within TIMEOUT_MS (it is killed then);
// 2 on bad usage or without an X display.
//
// Built by bench/run_linux.sh:
//   g++ -std=c++17 -O2 launch_watch.cpp -o launch_watch $(pkg-config --cflags --libs x11)
//       /usr/lib/x86_64-linux-gnu/libXdamage.so.1

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/damagewire.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// libXdamage's client API, as its header declares it; only the shared
// library is installed here, not the header.
extern "C" {
typedef XID Damage;
typedef struct {
    int type;
    unsigned long serial;
    Bool send_event;
    Display* display;
    Drawable drawable;
    Damage damage;
    int level;
    Bool more;
    Time timestamp;
    XRectangle area;
    XRectangle geometry;
} XDamageNotifyEvent;
Bool XDamageQueryExtension(Display* dpy, int* event_base, int* error_base);
Status XDamageQueryVersion(Display* dpy, int* major, int* minor);
Damage XDamageCreate(Display* dpy, Drawable drawable, int level);
}

namespace {

pid_t g_child = 0;

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "error: %s\n", what);
    if (g_child > 0) {
        kill(g_child, SIGKILL);
        waitpid(g_child, nullptr, 0);
    }
    std::exit(1);
}

// Windows vanish between an event and the request about them (Qt's own
// short-lived helper windows); such errors are expected, not fatal.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

std::string WindowName(Display* dpy, Window window) {
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(dpy, window, netName, 0, 256, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        return name;
    }
    char* plain = nullptr;
    if (XFetchName(dpy, window, &plain) && plain) {
        name = plain;
        XFree(plain);
    }
    return name;
}

pid_t Spawn(char** argv) {
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    return pid;
}

void CheckChildAlive() {
    int status = 0;
    if (waitpid(g_child, &status, WNOHANG) == g_child) {
        g_child = 0;
        Fail("the program exited before its window was drawn");
    }
}

// Waits for the next event, up to the deadline; false if none came.
bool NextEvent(Display* dpy, XEvent* event, double deadline) {
    while (!XPending(dpy)) {
        CheckChildAlive();
        if (NowMs() > deadline)
            return false;
        pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, 2);
    }
    XNextEvent(dpy, event);
    return true;
}

bool Covers(const XRectangle& area, int width, int height) {
    return area.x <= 0 && area.y <= 0 && area.x + area.width >= width &&
           area.y + area.height >= height;
}

// The child's VmHWM in kB, from /proc.
long PeakMemoryKb() {
    const std::string path = "/proc/" + std::to_string(g_child) + "/status";
    FILE* status = std::fopen(path.c_str(), "r");
    if (!status)
        Fail("cannot read the program's /proc status");
    char line[256];
    long value = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            value = std::atol(line + 6);
            break;
        }
    }
    std::fclose(status);
    if (value < 0)
        Fail("no VmHWM in the program's /proc status");
    return value;
}

void CloseAndWait(Display* dpy, Window window, double timeoutMs) {
    XEvent message = {};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &message);
    XFlush(dpy);
    const double deadline = NowMs() + timeoutMs;
    int status = 0;
    while (waitpid(g_child, &status, WNOHANG) != g_child) {
        if (NowMs() > deadline)
            Fail("the program did not exit after WM_DELETE_WINDOW");
        usleep(2000);
    }
    g_child = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail("the program did not exit with code 0 after WM_DELETE_WINDOW");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: launch_watch CAPTION TIMEOUT_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string caption = argv[1];
    const double timeoutMs = std::atof(argv[2]);
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "error: no X display\n");
        return 2;
    }
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    int damageEvent = 0;
    int damageError = 0;
    int major = 1;
    int minor = 1;
    if (!XDamageQueryExtension(dpy, &damageEvent, &damageError) ||
        !XDamageQueryVersion(dpy, &major, &minor)) {
        std::fprintf(stderr, "error: the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(IgnoreError);
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const double start = NowMs();
    g_child = Spawn(argv + 3);
    if (g_child < 0)
        Fail("fork failed");
    const double deadline = start + timeoutMs;
    Window dialog = None;
    int width = 0;
    int height = 0;
    double mapped = 0;
    double painted = 0;
    XEvent event;
    while (painted == 0) {
        if (!NextEvent(dpy, &event, deadline))
            Fail(dialog ? "the window was mapped but never drawn whole"
                        : "no window with the caption was mapped");
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            // Watched from its creation, so no drawing after the map is missed.
            XDamageCreate(dpy, event.xcreatewindow.window, XDamageReportBoundingBox);
        } else if (event.type == MapNotify && dialog == None &&
                   WindowName(dpy, event.xmap.window) == caption) {
            mapped = NowMs();
            dialog = event.xmap.window;
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(dpy, dialog, &attributes))
                Fail("the mapped window vanished");
            width = attributes.width;
            height = attributes.height;
        } else if (event.type == damageEvent + XDamageNotify && dialog != None) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (damage.drawable == dialog && Covers(damage.area, width, height))
                painted = NowMs();
        }
    }
    std::printf("map_ms %.3f\npaint_ms %.3f\nhwm_kb %ld\n", mapped - start, painted - start,
                PeakMemoryKb());
    std::fflush(stdout);
    CloseAndWait(dpy, dialog, timeoutMs);
    XCloseDisplay(dpy);
    return 0;
}
