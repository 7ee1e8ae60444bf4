// The program's own start sequence against a real sound server, PulseAudio
// or PipeWire, that sound_server.sh started privately with null sinks, the
// sinks chosen from the device list. What the server sees of each stream is
// asked of it; what each sink plays is recorded from its monitor.
#include <gtest/gtest.h>
#include <pulse/simple.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QTimer>

#include "harness/sound_measure.h"
#include "platform/linux/sound/output.h"
#include "platform/linux/sound/output_thread.h"
#include "playback/device_list.h"
#include "playback/device_table.h"
#include "playback/dialog_window.h"
#include "playback/playback.h"
#include "resources/resource_ids.h"
#include "tests/linux/window_test_support.h"

namespace {

std::vector<std::string> shownErrors;

struct Sink {
    std::string name, description;  // the description as the device list shows it
    int channels;
    std::string map;
};

// The sinks as sound_server.sh made them, in its order.
const std::vector<Sink> SINKS = [] {
    const char* listed = std::getenv("SOUND_SERVER_SINKS");
    std::istringstream lines(listed != nullptr ? listed : "");
    std::vector<Sink> sinks;
    for (Sink sink; lines >> sink.name >> sink.description >> sink.channels >> sink.map;) {
        sinks.push_back(sink);
    }
    return sinks;
}();
enum { STEREO_SINK, QUAD_SINK, SURROUND_SINK, CYRILLIC_SINK, SINK_COUNT };

class SoundServer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SINKS.size(), size_t{SINK_COUNT}) << "run me through sound_server.sh";
    }
};

std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) {
            output += static_cast<char>(c);
        }
        pclose(pipe);
    }
    return output;
}

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The device list as the dialog fills it; the sink's item by its name.
PlaybackChoices ChoicesFor(int sink, int speakers, int algorithm) {
    deviceTable.deviceCount = 0;
    EXPECT_EQ(ListOutputDevices(), DS_OK);
    const GUID id = SdlOutputId(SINKS[sink].description);
    for (int i = 0; i < deviceTable.deviceCount; ++i) {
        if (deviceTable.entries[i].hasIdentifier &&
            IsEqualGUID(deviceTable.entries[i].identifier, id)) {
            return PlaybackChoices{i, algorithm, speakers, "10"};
        }
    }
    ADD_FAILURE() << "not listed: " << SINKS[sink].description;
    return PlaybackChoices{};
}

// Starts as the dialog does; the error box a failed start shows is read and closed.
bool Start(const PlaybackChoices& choices) {
    shownErrors.clear();
    QObject whileStarting;
    QTimer::singleShot(0, &whileStarting, [] {
        const std::string shown = CloseMessageBox();
        if (!shown.empty()) {
            shownErrors.push_back(shown);
        }
    });
    return StartPlayback(choices);
}

INT_PTR CALLBACK KeepDialog(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        dialogWindow = window;
    }
    return message == WM_INITDIALOG;
}

// Runs a test inside the program's dialog, which owns the device list and
// the error boxes and with which the device cooperates.
void InDialog(const std::function<void()>& body) {
    RunDialogWith(
        [] { return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr, KeepDialog, 0); },
        body, 100);
}

// The streams the server plays, as "<channels>ch <channel map>", a line each.
std::string Streams() {
    return Shell(
        "pactl list sink-inputs | awk '$1 == \"Sample\" {c = $4} /Channel Map/ {print c, $3}'");
}

// Every sink's monitor, recorded from the first use to the end of the tests:
// a record stream on a null sink's monitor gets its first data about two
// seconds after it opens, so each opens once.
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
        const auto enough = [&] {
            for (size_t i = 0; i < frames_.size(); ++i) {
                if (live_[i] && frames_[i].size() < size_t(milliseconds * 48 * SINKS[i].channels)) {
                    return false;
                }
            }
            return true;
        };
        EXPECT_TRUE(grown_.wait_for(lock, std::chrono::seconds(10), enough)) << "a monitor stalled";
        return frames_;
    }

private:
    void Record(size_t index) {
        const Sink& sink = SINKS[index];
        const pa_sample_spec format = {PA_SAMPLE_FLOAT32LE, 48000,
                                       static_cast<uint8_t>(sink.channels)};
        pa_channel_map map;
        pa_channel_map_parse(&map, sink.map.c_str());
        const uint32_t period = 480 * sizeof(float) * sink.channels;  // 10 ms
        const pa_buffer_attr attributes = {UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX, period};
        pa_simple* stream = pa_simple_new(nullptr, "sound3d tests", PA_STREAM_RECORD,
                                          (sink.name + ".monitor").c_str(), sink.name.c_str(),
                                          &format, &map, &attributes, nullptr);
        std::vector<float> block(period / sizeof(float));
        while (stream != nullptr && !stop_ &&
               pa_simple_read(stream, block.data(), period, nullptr) == 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            frames_[index].insert(frames_[index].end(), block.begin(), block.end());
            grown_.notify_all();
        }
        if (stream != nullptr) {
            pa_simple_free(stream);
        }
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

std::vector<std::vector<float>> Record(int milliseconds) {
    static Monitors monitors;
    return monitors.Next(milliseconds);
}

// Checks what a sink played against a pattern of its channels: '+' carries
// the sound in phase with the first carrier, '~' in opposite phase, '.' is
// quieter than every carrier, '-' is silent (20 dB down).
void ExpectChannels(const std::vector<float>& frames, int sink, const std::string& pattern) {
    const int channels = SINKS[sink].channels;
    std::vector<double> levels;
    for (int i = 0; i < channels; ++i) {
        levels.push_back(Rms(Channel(frames, channels, i)));
    }
    const double loudest = *std::max_element(levels.begin(), levels.end());
    ASSERT_GT(loudest, 0.005) << "nothing heard";
    const size_t first = pattern.find('+');
    for (int i = 0; i < channels; ++i) {
        SCOPED_TRACE(testing::Message() << "channel " << i << " of " << pattern);
        const bool carries = pattern[i] == '+' || pattern[i] == '~';
        EXPECT_TRUE(carries ? levels[i] > 0.2 * loudest
                            : pattern[i] == '.' || levels[i] < 0.1 * loudest);
        for (int j = 0; j < channels && pattern[i] == '.'; ++j) {
            EXPECT_TRUE(pattern[j] != '+' || levels[j] > 1.5 * levels[i]) << j;
        }
        if (carries && size_t(i) != first) {
            const double correlation =
                Correlation(Channel(frames, channels, int(first)), Channel(frames, channels, i));
            EXPECT_TRUE(pattern[i] == '~' ? correlation < -0.9 : correlation > 0.9) << correlation;
        }
    }
}

void ExpectSilent(const std::vector<float>& frames) { EXPECT_LT(Rms(frames), 1e-4); }

// Each speaker configuration on the sink of its kind: the stream the server
// gets, and which of the sink's channels carry a source ahead, behind, left
// and right of the listener. With HRTF the far ear hears it quieter.
TEST_F(SoundServer, EachSpeakerConfigurationReachesItsSpeakersAndStopSilencesThem) {
    InDialog([&] {
        std::printf("sound server: %s\n", std::getenv("SOUND_SERVER_NAME"));
        const char* const two = "2ch front-left,front-right\n";
        const char* const six =
            "6ch front-left,front-right,front-center,lfe,rear-left,rear-right\n";
        const struct {
            int speakers, algorithm, sink;
            const char* stream;
            const char* heard[4];
        } cases[] = {
            {HEADPHONES, FULL, STEREO_SINK, two, {"++", "++", "+.", ".+"}},
            {MONO, FULL, STEREO_SINK, "1ch mono\n", {"++", "++", "++", "++"}},
            {QUAD, FULL, QUAD_SINK, six, {"++--", "--++", "+-+-", "-+-+"}},
            {STEREO, FULL, STEREO_SINK, two, {"++", "++", "+-", "-+"}},
            {SURROUND, FULL, STEREO_SINK, two, {"++", "+~", "+-", "-+"}},
            {FIVE_POINT_ONE, FULL, SURROUND_SINK, six, {"++----", "----++", "+---+-", "-+---+"}},
        };
        const float places[4][3] = {{0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "speakers " << c.speakers << ", algorithm " << c.algorithm);
            ASSERT_TRUE(Start(ChoicesFor(c.sink, c.speakers, c.algorithm)));
            EXPECT_EQ(Streams(), c.stream);
            for (int place = 0; place < 4; ++place) {
                SCOPED_TRACE(testing::Message() << "place " << place);
                playbackObjects.source3D->SetPosition(places[place][0], places[place][1],
                                                      places[place][2], DS3D_IMMEDIATE);
                Sleep(150);
                const auto recorded = Record(300);
                for (int sink = 0; sink < SINK_COUNT; ++sink) {
                    sink == c.sink ? ExpectChannels(recorded[sink], sink, c.heard[place])
                                   : ExpectSilent(recorded[sink]);
                }
            }
            ReleasePlayback();
            Sleep(100);
            ExpectSilent(Record(200)[c.sink]);
            EXPECT_EQ(Streams(), "");
        }
    });
}

void SignalServer(int signal) {
    std::istringstream pids(std::getenv("SOUND_SERVER_PIDS"));
    for (pid_t pid; pids >> pid;) {
        kill(pid, signal);
    }
}

double SecondsFor(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A stopped server holds SDL's close and open for as long as it stays
// stopped: "Стоп" still returns at once and a start fails in seconds with
// its step's message; once the server runs again, what was left to it is
// given back and a start plays.
TEST_F(SoundServer, AStalledServerFreezesNeitherStopNorStart) {
    InDialog([&] {
        const PlaybackChoices choices = ChoicesFor(STEREO_SINK, HEADPHONES, FULL);
        ASSERT_TRUE(Start(choices));
        SignalServer(SIGSTOP);
        // Should a call hang after all, the server resumes and the test goes on.
        std::atomic<bool> returned{false};
        std::thread watchdog([&returned] {
            for (int waited = 0; waited < 200 && !returned; ++waited) {
                Sleep(50);
            }
            SignalServer(SIGCONT);
        });
        EXPECT_LT(SecondsFor(ReleasePlayback), 1.0);
        EXPECT_LT(SecondsFor([&] { EXPECT_FALSE(Start(choices)); }), 5.0);
        returned = true;
        watchdog.join();
        EXPECT_EQ(shownErrors,
                  std::vector<std::string>{"Ошибка создания объекта устройства (0x8878000A)"});
        // The close and the late open left to the output thread finish; the
        // late device is given back as soon as it opens.
        WaitForOutputThread(std::chrono::seconds(10));
        for (int tries = 0; tries < 100 && !Streams().empty(); ++tries) {
            Sleep(50);
        }
        EXPECT_EQ(Streams(), "");
        ASSERT_TRUE(Start(choices));
        Sleep(150);
        ExpectChannels(Record(300)[STEREO_SINK], STEREO_SINK, "++");
        ReleasePlayback();
    });
}

// A sink that goes away while it plays leaves the source silent; "Стоп"
// gives everything back, and the next start from the same list names the
// device as gone.
TEST_F(SoundServer, AVanishedSinkIsReportedAtTheNextStart) {
    InDialog([&] {
        const PlaybackChoices choices = ChoicesFor(CYRILLIC_SINK, HEADPHONES, NONE);
        ASSERT_TRUE(Start(choices));
        Sleep(150);
        ExpectChannels(Record(300)[CYRILLIC_SINK], CYRILLIC_SINK, "++");
        Shell(
            "pactl unload-module $(pactl list short modules | awk '/sink_name=cyrillic/ {print "
            "$1}')");
        Sleep(300);
        ReleasePlayback();
        EXPECT_FALSE(Start(choices));
        EXPECT_EQ(shownErrors,
                  std::vector<std::string>{"Ошибка создания объекта устройства (0x88780078)"});
    });
}

}  // namespace
