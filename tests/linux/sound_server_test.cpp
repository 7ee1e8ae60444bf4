// The program's own start sequence against a real sound server, PulseAudio
// or PipeWire, that sound_server.sh started privately with null sinks: what
// the server sees of each stream is asked of it, and what each sink plays is
// recorded from its monitor.
#include <gtest/gtest.h>
#include <pulse/simple.h>
#include <signal.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <algorithm>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "playback/device_table.h"
#include "playback/error_box.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "tests/linux/sound_measure.h"

namespace {

std::vector<std::string> shownErrors;

}  // namespace

// Error boxes are recorded here instead of shown.
void MessageBox1251(HWND, const char* text, const char*, UINT) {
    shownErrors.push_back(text);
}

namespace {

using Clock = std::chrono::steady_clock;

struct Sink {
    std::string name;
    std::string description;  // UTF-8, as the device list shows it
    int channels;
    std::string map;
};

// The sinks as sound_server.sh made them, in its order.
const std::vector<Sink> SINKS = [] {
    const char* listed = std::getenv("SOUND_SERVER_SINKS");
    std::istringstream lines(listed != nullptr ? listed : "");
    std::vector<Sink> sinks;
    Sink sink;
    while (lines >> sink.name >> sink.description >> sink.channels >> sink.map) {
        sinks.push_back(sink);
    }
    return sinks;
}();
enum { STEREO_SINK, QUAD_SINK, SURROUND_SINK, CYRILLIC_SINK, SINK_COUNT };

class SoundServer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SINKS.size(), static_cast<size_t>(SINK_COUNT)) << "run me through sound_server.sh";
    }
};

std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, n);
        }
        pclose(pipe);
    }
    return output;
}

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

BOOL CALLBACK Collect(LPGUID id, LPCSTR description, LPCSTR, LPVOID context) {
    auto* listed = static_cast<std::vector<std::pair<std::string, DeviceEntry>>*>(context);
    listed->push_back({description, DeviceEntry{id != nullptr, id != nullptr ? *id : GUID{}}});
    return TRUE;
}

// The device list as the dialog gets it, for the start to choose from.
std::vector<std::pair<std::string, DeviceEntry>> ListDevices() {
    std::vector<std::pair<std::string, DeviceEntry>> listed;
    EXPECT_EQ(DirectSoundEnumerateA(Collect, &listed), 0);
    deviceTable.deviceCount = 0;
    for (const auto& device : listed) {
        deviceTable.entries[deviceTable.deviceCount++] = device.second;
    }
    return listed;
}

int DeviceIndex(int sink) {
    const auto listed = ListDevices();
    for (size_t i = 0; i < listed.size(); ++i) {
        if (listed[i].first == SINKS[sink].description) {
            return static_cast<int>(i);
        }
    }
    ADD_FAILURE() << "not listed: " << SINKS[sink].description;
    return 0;
}

bool Start(int sink, int speakers, int algorithm, const char* angle) {
    static int window;
    dialogWindow = reinterpret_cast<HWND>(&window);
    shownErrors.clear();
    PlaybackChoices choices = {DeviceIndex(sink), algorithm, speakers, {}};
    std::strncpy(choices.angleText, angle, sizeof choices.angleText - 1);
    return StartPlayback(choices);
}

// The streams the server plays, as "<channels>ch <channel map>", one a line.
std::string Streams() {
    std::istringstream listing(Shell("pactl list sink-inputs"));
    std::string line, streams, channels;
    while (std::getline(listing, line)) {
        const size_t spec = line.find("Sample Specification: ");
        if (spec != std::string::npos) {
            std::istringstream fields(line.substr(spec + 22));
            fields >> channels >> channels;
        }
        const size_t map = line.find("Channel Map: ");
        if (map != std::string::npos) {
            streams += channels + " " + line.substr(map + 13) + "\n";
        }
    }
    return streams;
}

// Every sink's monitor, recorded from the first use to the end of the
// tests: a record stream on a null sink's monitor gets its first data about
// two seconds after it opens, so each opens once.
class Monitors {
public:
    Monitors() : frames_(SINKS.size()), live_(SINKS.size(), true) {
        for (size_t i = 0; i < SINKS.size(); ++i) {
            threads_.emplace_back(&Monitors::Record, this, i);
        }
    }
    ~Monitors() {
        stop_ = true;
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }
    // What every sink plays during the next `milliseconds`, in its own channels.
    std::vector<std::vector<float>> Next(int milliseconds) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (auto& frames : frames_) {
            frames.clear();
        }
        const auto enough = [this, milliseconds] {
            for (size_t i = 0; i < frames_.size(); ++i) {
                if (live_[i] &&
                    frames_[i].size() < static_cast<size_t>(milliseconds * 48 * SINKS[i].channels)) {
                    return false;
                }
            }
            return true;
        };
        EXPECT_TRUE(grown_.wait_for(lock, std::chrono::seconds(10), enough)) << "a monitor stopped";
        return frames_;
    }

private:
    void Record(size_t index) {
        const Sink& sink = SINKS[index];
        const pa_sample_spec spec = {PA_SAMPLE_FLOAT32LE, 48000, static_cast<uint8_t>(sink.channels)};
        pa_channel_map map;
        pa_channel_map_parse(&map, sink.map.c_str());
        const uint32_t period = 480 * sizeof(float) * sink.channels;  // 10 ms
        const pa_buffer_attr attributes = {UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX, period};
        const std::string monitor = sink.name + ".monitor";
        pa_simple* stream = pa_simple_new(nullptr, "sound3d tests", PA_STREAM_RECORD, monitor.c_str(),
                                          sink.name.c_str(), &spec, &map, &attributes, nullptr);
        ASSERT_NE(stream, nullptr) << monitor;
        std::vector<float> block(period / sizeof(float));
        while (!stop_ && pa_simple_read(stream, block.data(), period, nullptr) == 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            frames_[index].insert(frames_[index].end(), block.begin(), block.end());
            grown_.notify_all();
        }
        pa_simple_free(stream);
        std::lock_guard<std::mutex> lock(mutex_);
        live_[index] = false;  // its sink is gone
        grown_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable grown_;
    std::vector<std::vector<float>> frames_;
    std::vector<bool> live_;
    std::vector<std::thread> threads_;
    std::atomic<bool> stop_{false};
};

std::vector<std::vector<float>> RecordAll(int milliseconds) {
    static Monitors monitors;
    return monitors.Next(milliseconds);
}

std::vector<double> Levels(const std::vector<float>& frames, int channels) {
    std::vector<double> levels;
    for (int channel = 0; channel < channels; ++channel) {
        levels.push_back(Rms(Channel(frames, channels, channel)));
    }
    return levels;
}

// Checks what a sink played against a pattern of its channels: '+' carries
// the sound (in phase with the first carrier), '~' carries it in opposite
// phase, '.' is quieter than every carrier, '-' is silent (20 dB down).
void ExpectChannels(const std::vector<float>& frames, int index, const std::string& pattern) {
    const Sink& sink = SINKS[index];
    const std::vector<double> levels = Levels(frames, sink.channels);
    const double loudest = *std::max_element(levels.begin(), levels.end());
    ASSERT_GT(loudest, 0.005) << "nothing heard";
    int first = -1;
    for (int i = 0; i < sink.channels; ++i) {
        SCOPED_TRACE(testing::Message() << "channel " << i << " of " << pattern);
        const std::vector<float> channel = Channel(frames, sink.channels, i);
        if (pattern[i] == '-') {
            EXPECT_LT(levels[i], 0.1 * loudest);
        } else if (pattern[i] == '.') {
            for (int j = 0; j < sink.channels; ++j) {
                EXPECT_TRUE((pattern[j] != '+' && pattern[j] != '~') || levels[j] > 1.5 * levels[i]) << j;
            }
        } else if (first < 0) {
            first = i;
        } else {
            const double correlation = Correlation(Channel(frames, sink.channels, first), channel);
            EXPECT_TRUE(pattern[i] == '~' ? correlation < -0.9 : correlation > 0.9) << correlation;
        }
        if (pattern[i] == '+' || pattern[i] == '~') {
            EXPECT_GT(levels[i], 0.2 * loudest);
        }
    }
}

void ExpectSilent(const std::vector<float>& frames) {
    EXPECT_LT(Rms(frames), 1e-4);
}

// Ahead, behind, left and right of the listener, one unit away.
const SourcePosition PLACES[] = {{0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
const char* const PLACE_NAMES[] = {"ahead", "behind", "left", "right"};

// Each speaker configuration on the sink of its kind: the stream the server
// gets, and which of the sink's channels carry a source at each place. With
// HRTF the far ear hears the source later and quieter.
TEST_F(SoundServer, EachSpeakerConfigurationReachesItsSpeakersAndStopSilencesThem) {
    std::printf("sound server: %s\n", std::getenv("SOUND_SERVER_NAME"));
    const std::string twoChannels = "2ch front-left,front-right\n";
    const std::string sixChannels = "6ch front-left,front-right,front-center,lfe,rear-left,rear-right\n";
    const struct {
        int speakers, algorithm;
        int sink;
        const std::string& stream;
        const char* heard[4];  // ahead, behind, left, right
        bool hrtf;
    } cases[] = {
        {HEADPHONES, FULL, STEREO_SINK, twoChannels, {"++", "++", "+.", ".+"}, true},
        {HEADPHONES, LIGHT, STEREO_SINK, twoChannels, {"++", "++", "+.", ".+"}, true},
        {HEADPHONES, NONE, STEREO_SINK, twoChannels, {"++", "++", "+-", "-+"}, false},
        {MONO, FULL, STEREO_SINK, "1ch mono\n", {"++", "++", "++", "++"}, false},
        {QUAD, FULL, QUAD_SINK, sixChannels, {"++--", "--++", "+-+-", "-+-+"}, false},
        {STEREO, FULL, STEREO_SINK, twoChannels, {"++", "++", "+-", "-+"}, false},
        {SURROUND, FULL, STEREO_SINK, twoChannels, {"++", "+~", "+-", "-+"}, false},
        {FIVE_POINT_ONE, FULL, SURROUND_SINK, sixChannels,
         {"++----", "----++", "+---+-", "-+---+"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "speakers " << c.speakers << ", algorithm " << c.algorithm);
        ASSERT_TRUE(Start(c.sink, c.speakers, c.algorithm, "10"));
        EXPECT_EQ(Streams(), c.stream);
        for (int place = 0; place < 4; ++place) {
            SCOPED_TRACE(PLACE_NAMES[place]);
            playbackObjects.source3D->SetPosition(PLACES[place].x, PLACES[place].y, PLACES[place].z,
                                                  DS3D_IMMEDIATE);
            Sleep(150);
            const auto recorded = RecordAll(300);
            for (int sink = 0; sink < SINK_COUNT; ++sink) {
                if (sink == c.sink) {
                    ExpectChannels(recorded[sink], sink, c.heard[place]);
                } else {
                    ExpectSilent(recorded[sink]);
                }
            }
            if (c.hrtf && place >= 2) {
                const std::vector<float>& frames = recorded[c.sink];
                const int near = place == 2 ? 0 : 1;
                const int lag = LagBetween(Channel(frames, 2, near), Channel(frames, 2, 1 - near), 48);
                EXPECT_GE(lag, 10) << "far ear not later by 0.2 ms";
            }
        }
        ReleasePlayback();
        Sleep(100);
        ExpectSilent(RecordAll(200)[c.sink]);
        EXPECT_EQ(Streams(), "");
    }
}

void SignalServer(int signal) {
    std::istringstream pids(std::getenv("SOUND_SERVER_PIDS"));
    for (pid_t pid; pids >> pid;) {
        kill(pid, signal);
    }
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A stopped server holds SDL's close and open for as long as it stays
// stopped: "Стоп" still returns at once and a start fails in seconds with
// its step's message; once the server runs again, what was left to it is
// given back and a start plays.
TEST_F(SoundServer, AStalledServerFreezesNeitherStopNorStart) {
    ASSERT_TRUE(Start(STEREO_SINK, HEADPHONES, FULL, ""));
    SignalServer(SIGSTOP);
    // Should either call hang after all, the server resumes and the test goes on.
    std::atomic<bool> returned{false};
    std::thread watchdog([&returned] {
        for (int waited = 0; waited < 200 && !returned; ++waited) {
            Sleep(50);
        }
        SignalServer(SIGCONT);
    });
    Clock::time_point start = Clock::now();
    ReleasePlayback();
    EXPECT_LT(SecondsSince(start), 1.0);
    start = Clock::now();
    EXPECT_FALSE(Start(STEREO_SINK, HEADPHONES, FULL, ""));
    EXPECT_LT(SecondsSince(start), 5.0);
    returned = true;
    watchdog.join();
    EXPECT_EQ(shownErrors, std::vector<std::string>{"Ошибка создания объекта устройства (0x8878000A)"});
    for (int tries = 0; tries < 100 && !Streams().empty(); ++tries) {
        Sleep(100);
    }
    EXPECT_EQ(Streams(), "");
    ASSERT_TRUE(Start(STEREO_SINK, HEADPHONES, FULL, ""));
    Sleep(150);
    ExpectChannels(RecordAll(300)[STEREO_SINK], STEREO_SINK, "++");
    ReleasePlayback();
}

// Keys for the program's dialog, typed as a user types them.
void Type(const std::string& display, const std::string& keys) {
    Shell("DISPLAY=" + display + " timeout 10 xdotool search --sync --onlyvisible --name " +
          "'DirectSound 3D' windowfocus --sync %1 sleep 0.2 key " + keys + " 2>/dev/null");
}

bool WaitFor(const std::function<bool()>& condition) {
    for (int tries = 0; tries < 100; ++tries) {
        if (condition()) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

std::vector<std::string> FilesUnder(const std::string& directory) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
        files.push_back(entry.path().string().substr(directory.size() + 1));
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Processes whose parent is this one.
std::vector<std::string> Children() {
    std::vector<std::string> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, name, state;
        pid_t parent = 0;
        if (stat >> pid >> name >> state >> parent && parent == getpid()) {
            children.push_back(pid + " " + name);
        }
    }
    return children;
}

// The whole program as a user runs it on a desktop without a session bus,
// with a new home: started, stopped and closed with keys. Afterwards no
// process it started is alive, and the only file it made is libpulse's cookie.
TEST_F(SoundServer, TheProgramLeavesNothingBehind) {
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr) << "run me on an X server";
    const std::string home = testing::TempDir() + "sound3d_home_" + std::to_string(getpid());
    const std::string runtime = home + "_runtime";
    const std::string shared = home + "_shm";
    for (const std::string& directory : {home, runtime, shared}) {
        std::filesystem::create_directories(directory);
        std::filesystem::permissions(directory, std::filesystem::perms::owner_all);
    }
    const pid_t program = fork();
    if (program == 0) {
        // A /dev/shm of its own, to see what is left there.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(shared.c_str(), "/dev/shm", nullptr, MS_BIND, nullptr) != 0) {
            _exit(126);
        }
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "PULSE_COOKIE", "XDG_CONFIG_HOME",
                                 "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
            unsetenv(name);
        }
        execl(SOUND3D_PROGRAM_PATH, SOUND3D_PROGRAM_PATH, nullptr);
        _exit(127);
    }
    Type(display, "Tab Tab space");
    EXPECT_TRUE(WaitFor([] { return !Streams().empty(); })) << "Старт played nothing";
    Type(display, "space");
    EXPECT_TRUE(WaitFor([] { return Streams().empty(); })) << "Стоп left the stream";
    Type(display, "Escape");
    int status = -1;
    EXPECT_TRUE(WaitFor([&] { return waitpid(program, &status, WNOHANG) == program; }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    Sleep(300);  // for what it started to be handed to this process
    const std::vector<std::string> left = Children();
    EXPECT_TRUE(left.empty()) << left.front();
    for (const std::string& child : left) {
        kill(std::stoi(child), SIGKILL);
    }
    EXPECT_EQ(FilesUnder(home), (std::vector<std::string>{".config", ".config/pulse", ".config/pulse/cookie"}));
    EXPECT_EQ(FilesUnder(runtime), std::vector<std::string>{});
    EXPECT_EQ(FilesUnder(shared), std::vector<std::string>{});
    for (const std::string& directory : {home, runtime, shared}) {
        std::filesystem::remove_all(directory);
    }
}

// A sink that goes away while it plays leaves the source silent; "Стоп"
// gives everything back, and the next start names the device as gone.
TEST_F(SoundServer, AVanishedSinkIsReportedAtTheNextStart) {
    ASSERT_TRUE(Start(CYRILLIC_SINK, HEADPHONES, NONE, ""));
    const PlaybackChoices again = {DeviceIndex(CYRILLIC_SINK), NONE, HEADPHONES, {}};
    Sleep(150);
    ExpectChannels(RecordAll(300)[CYRILLIC_SINK], CYRILLIC_SINK, "++");
    Shell("pactl unload-module $(pactl list short modules | awk '/sink_name=cyrillic/ {print $1}')");
    Sleep(300);
    ReleasePlayback();
    shownErrors.clear();
    EXPECT_FALSE(StartPlayback(again));
    EXPECT_EQ(shownErrors, std::vector<std::string>{"Ошибка создания объекта устройства (0x88780078)"});
}

}  // namespace
