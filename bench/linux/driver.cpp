// Presses a Qt dialog's start button from inside the program and times it,
// the same way for sound3d and the minimal player: loaded with LD_PRELOAD
// into the unchanged executable, it starts with the program's QApplication
// and works from the dialog's own event loop, as a user's click would.
//
//   1. waits until a QPushButton reading "Старт" is visible in an exposed
//      window, times one synchronous repaint of that window, then waits
//      300 ms more so the press meets an idle dialog;
//   2. with BENCH_ALGORITHM=i, selects item i of the list that holds
//      "Частичная" (the 3D algorithm);
//   3. sends the button a left press and release, and times until it reads
//      "Стоп" (the start runs inside the click on the dialog's thread, so
//      normally the text is there when the release returns);
//   4. lets it play BENCH_PLAY_MS (default 1000) with its own poll stopped,
//      and takes the process's CPU time (all threads) and memory over it;
//   5. presses again and times until it reads "Старт";
//   6. keeps the idle dialog open BENCH_IDLE_MS more (default 0), so that
//      what the stop left sounding is not cut short by the exit, and closes
//      the window.
//
// Lines "NAME VALUE" go to the file BENCH_REPORT (without it the library
// does nothing): repaint_ms, start_ms, press_ns (CLOCK_MONOTONIC at the
// press), cpu_ms, wall_ms, threads, hwm_kb, rss_kb, stop_ns (at the second
// press), stop_ms, then closing_ns (as the window closes).  A message box, a
// button reading "Ошибка" or a missing list item is reported as
// "error TEXT" and ends the process with exit code 3.
//
// Built by bench/run_linux.sh:
//   g++ -std=c++17 -O2 -fPIC -shared driver.cpp -o libbench_driver.so
//       $(pkg-config --cflags --libs Qt6Widgets)

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kSettleMs = 300;
const char kStart[] = "Старт";
const char kStop[] = "Стоп";
const char kFailed[] = "Ошибка";
const char kAlgorithmItem[] = "Частичная";

FILE* g_report = nullptr;

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void Report(const char* name, double value) {
    std::fprintf(g_report, "%s %.3f\n", name, value);
    std::fflush(g_report);
}

// CLOCK_MONOTONIC, which the bench's recorders share.
long long NowNs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<long long>(std::chrono::nanoseconds(now).count());
}

void ReportNs(const char* name, long long ns) {
    std::fprintf(g_report, "%s %lld\n", name, ns);
    std::fflush(g_report);
}

[[noreturn]] void Abort(const QString& what) {
    std::fprintf(g_report, "error %s\n", what.toUtf8().constData());
    std::fflush(g_report);
    _exit(3);
}

double CpuMs() {
    rusage usage = {};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        Abort("getrusage failed");
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// A "Name:   value kB" line of /proc/self/status, as a number.
double StatusField(const char* name) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        Abort("cannot read /proc/self/status");
    char line[256];
    double value = -1;
    const size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
            value = std::atof(line + length + 1);
            break;
        }
    }
    std::fclose(status);
    if (value < 0)
        Abort(QString("no %1 in /proc/self/status").arg(name));
    return value;
}

QPushButton* FindButton() {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* button = qobject_cast<QPushButton*>(widget);
        if (button && button->text() == kStart && button->isVisible()) {
            QWindow* window = button->window()->windowHandle();
            if (window && window->isExposed())
                return button;
        }
    }
    return nullptr;
}

QComboBox* FindAlgorithmList() {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* list = qobject_cast<QComboBox*>(widget);
        if (list && list->findText(kAlgorithmItem) >= 0)
            return list;
    }
    return nullptr;
}

// What a failed start leaves on screen.
void CheckForErrors() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible())
            Abort("message box: " + box->text());
    }
}

void Click(QPushButton* button) {
    const QPointF local = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

class Driver {
public:
    Driver() {
        poll_.setTimerType(Qt::PreciseTimer);
        poll_.setInterval(1);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Tick(); });
        // A second timer, since Qt does not re-enter the first one while
        // its own handler waits in a message box's loop.
        watch_.setInterval(20);
        QObject::connect(&watch_, &QTimer::timeout, CheckForErrors);
        poll_.start();
        watch_.start();
    }

private:
    enum class Step { WaitReady, Settle, WaitStop, Playing, WaitIdle, Idle, Done };

    void Tick() {
        switch (step_) {
        case Step::WaitReady:
            button_ = FindButton();
            if (button_) {
                TimeRepaint();
                step_ = Step::Settle;
                until_ = NowMs() + kSettleMs;
            }
            break;
        case Step::Settle:
            if (NowMs() >= until_)
                Press();
            break;
        case Step::WaitStop: CheckStarted(); break;
        case Step::Playing: break;
        case Step::WaitIdle: CheckStopped(); break;
        case Step::Idle:
            if (NowMs() >= until_)
                Close();
            break;
        case Step::Done: break;
        }
    }

    // What a synchronous repaint of the whole dialog costs (as UpdateWindow
    // does inside sound3d's start), painted and flushed to the X server.
    void TimeRepaint() {
        const double start = NowMs();
        button_->window()->repaint();
        Report("repaint_ms", NowMs() - start);
    }

    void SelectAlgorithm() {
        const char* wanted = std::getenv("BENCH_ALGORITHM");
        if (!wanted)
            return;
        QComboBox* list = FindAlgorithmList();
        const int index = std::atoi(wanted);
        if (!list || index < 0 || index >= list->count())
            Abort(QString("no algorithm item %1").arg(index));
        list->setCurrentIndex(index);
    }

    void Press() {
        SelectAlgorithm();
        step_ = Step::WaitStop;
        pressed_ = NowMs();
        const long long ns = NowNs();
        Click(button_);
        CheckStarted();
        ReportNs("press_ns", ns);
    }

    void CheckStarted() {
        if (step_ != Step::WaitStop)
            return;
        const QString text = button_->text();
        if (text == kFailed)
            Abort("the button reads " + text);
        if (text != kStop)
            return;
        Report("start_ms", NowMs() - pressed_);
        step_ = Step::Playing;
        // Nothing of the driver runs while the CPU time is taken.
        poll_.stop();
        watch_.stop();
        const char* playMs = std::getenv("BENCH_PLAY_MS");
        const int duration = playMs ? std::atoi(playMs) : 1000;
        cpu0_ = CpuMs();
        wall0_ = NowMs();
        QTimer::singleShot(duration, Qt::PreciseTimer, [this] { EndPlaying(); });
    }

    void EndPlaying() {
        const double cpu = CpuMs() - cpu0_;
        const double wall = NowMs() - wall0_;
        Report("cpu_ms", cpu);
        Report("wall_ms", wall);
        Report("threads", StatusField("Threads"));
        Report("hwm_kb", StatusField("VmHWM"));
        Report("rss_kb", StatusField("VmRSS"));
        step_ = Step::WaitIdle;
        poll_.start();
        watch_.start();
        pressed_ = NowMs();
        const long long ns = NowNs();
        Click(button_);
        CheckStopped();
        ReportNs("stop_ns", ns);
    }

    void CheckStopped() {
        if (step_ != Step::WaitIdle || button_->text() != kStart)
            return;
        Report("stop_ms", NowMs() - pressed_);
        const char* idleMs = std::getenv("BENCH_IDLE_MS");
        step_ = Step::Idle;
        until_ = NowMs() + (idleMs ? std::atoi(idleMs) : 0);
    }

    void Close() {
        step_ = Step::Done;
        poll_.stop();
        watch_.stop();
        ReportNs("closing_ns", NowNs());
        button_->window()->close();
    }

    QTimer poll_;
    QTimer watch_;
    Step step_ = Step::WaitReady;
    QPushButton* button_ = nullptr;
    double until_ = 0;
    double pressed_ = 0;
    double cpu0_ = 0;
    double wall0_ = 0;
};

void StartDriver() {
    const char* path = std::getenv("BENCH_REPORT");
    if (!path)
        return;
    g_report = std::fopen(path, "a");
    if (!g_report) {
        std::fprintf(stderr, "bench driver: cannot open %s\n", path);
        _exit(3);
    }
    new Driver();  // lives as long as the program
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
