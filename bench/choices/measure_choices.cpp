// Renders every speaker configuration with every 3D algorithm through the
// sound layer's renderer, without a sound device, and prints what was measured
// as JSON for measure_choices.py: the table rows and a sweep of the source
// from left to right on headphones.
#include <time.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/sound_measure.h"

namespace {

// Beyond this a level difference means one side is silent.
const double LEVEL_CAP_DB = 60;
const double SILENT = 1e-5;
const int MAX_LAG = 48;  // 1 ms
const int CPU_SECONDS = 10;
const int CPU_RUNS = 3;
const int PERIOD_FRAMES = 512;

struct Algorithm {
    const char* name;
    const GUID* id;
};
const Algorithm ALGORITHMS[] = {{"none", &DS3DALG_NO_VIRTUALIZATION},
                                {"light", &DS3DALG_HRTF_LIGHT},
                                {"full", &DS3DALG_HRTF_FULL}};

struct Speakers {
    const char* name;
    DWORD value;
    std::vector<int> left, right;  // the channels on each side
};
const Speakers SPEAKERS[] = {{"headphones", DSSPEAKER_HEADPHONE, {0}, {1}},
                             {"mono", DSSPEAKER_MONO, {}, {}},
                             {"quad", DSSPEAKER_QUAD, {0, 2}, {1, 3}},
                             {"stereo", DSSPEAKER_STEREO, {0}, {1}},
                             {"stereo 5", 0x00050004, {0}, {1}},
                             {"stereo 180", 0x00B40004, {0}, {1}},
                             {"surround", DSSPEAKER_SURROUND, {0}, {1}},
                             {"5.1", DSSPEAKER_5POINT1, {0, 4}, {1, 5}}};

double Level(const std::vector<float>& frames, int channels, const std::vector<int>& which) {
    double sum = 0;
    for (int channel : which) {
        sum += std::pow(Rms(Channel(frames, channels, channel)), 2);
    }
    return std::sqrt(sum);
}

double CappedDecibels(double louder, double softer) {
    if (louder < SILENT && softer < SILENT) {
        return 0;
    }
    if (softer < SILENT || louder < SILENT) {
        return louder < SILENT ? -LEVEL_CAP_DB : LEVEL_CAP_DB;
    }
    return std::fmax(-LEVEL_CAP_DB, std::fmin(LEVEL_CAP_DB, Decibels(louder / softer)));
}

std::string Number(double value, const char* format = "%.3f") {
    if (std::isnan(value)) {
        return "null";
    }
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// How much the right side leads: positive when the left channel comes later.
double DelayMs(const std::vector<float>& frames, int channels) {
    if (channels < 2) {
        return NAN;
    }
    const std::vector<float> left = Channel(frames, channels, 0);
    const std::vector<float> right = Channel(frames, channels, 1);
    if (Rms(left) < SILENT || Rms(right) < SILENT) {
        return NAN;
    }
    return 1000.0 * LagBetween(right, left, MAX_LAG) / RENDER_RATE;
}

double LevelDifference(const std::vector<float>& frames, int channels, const Speakers& speakers) {
    if (speakers.left.empty()) {
        return NAN;
    }
    return CappedDecibels(Level(frames, channels, speakers.right),
                          Level(frames, channels, speakers.left));
}

// The largest change of any channel above 3 kHz between ahead and behind.
double FrontBack(const std::vector<float>& ahead, const std::vector<float>& behind, int channels) {
    double largest = 0;
    for (int channel = 0; channel < channels; ++channel) {
        const double front = Rms(HighPass(Channel(ahead, channels, channel), 3000, RENDER_RATE));
        const double back = Rms(HighPass(Channel(behind, channels, channel), 3000, RENDER_RATE));
        largest = std::fmax(largest, std::fabs(CappedDecibels(front, back)));
    }
    return largest;
}

// Left against right on two channels, where a matrix decoder would look.
double SideCorrelation(const std::vector<float>& frames, int channels) {
    return channels != 2 ? NAN
                         : Correlation(Channel(frames, channels, 0), Channel(frames, channels, 1));
}

// Thread CPU time, in milliseconds per second of sound, best of a few runs.
double CpuPerSecond(Scene* scene) {
    std::vector<float> period(static_cast<size_t>(PERIOD_FRAMES) *
                              static_cast<size_t>(scene->Get().layout.channels));
    double best = 1e300;
    for (int run = 0; run < CPU_RUNS; ++run) {
        timespec start, end;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        for (int done = 0; done < CPU_SECONDS * RENDER_RATE; done += PERIOD_FRAMES) {
            scene->RenderInto(period.data(), PERIOD_FRAMES);
        }
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        const double ms = (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
        best = std::fmin(best, ms / CPU_SECONDS);
    }
    return best;
}

const char* HrtfName(HrtfChoice hrtf) {
    switch (hrtf) {
    case HrtfChoice::Light: return "light";
    case HrtfChoice::Full: return "full";
    case HrtfChoice::Off: break;
    }
    return "off";
}

// The HRTF the sound layer gives the algorithm on these speakers.
HrtfChoice HrtfOn(DWORD speakers, const Algorithm& algorithm) {
    RenderLayout layout = {};
    HrtfChoice hrtf = HrtfChoice::Off;
    if (!LayoutFor(speakers, &layout) || !HrtfFor(layout, *algorithm.id, &hrtf)) {
        std::fprintf(stderr, "measure_choices: speakers %lx or algorithm %s refused\n",
                     static_cast<unsigned long>(speakers), algorithm.name);
    }
    return hrtf;
}

bool PrintRow(const Speakers& speakers, const Algorithm& algorithm, bool first) {
    Scene scene(speakers.value, HrtfOn(speakers.value, algorithm));
    if (!scene.Opened()) {
        std::fprintf(stderr, "measure_choices: no renderer for %s\n", speakers.name);
        return false;
    }
    const int channels = scene.Get().layout.channels;
    const std::vector<float> side = scene.At(1, 0, 1);
    const std::vector<float> ahead = scene.At(0, 0, 1);
    const std::vector<float> behind = scene.At(0, 0, -1);
    scene.Move(1, 0, 1);
    std::printf(
        "%s    {\"speakers\": \"%s\", \"algorithm\": \"%s\", \"hrtf\": \"%s\", \"channels\": %d, "
        "\"level_db\": %s, \"delay_ms\": %s, \"front_back_db\": %s, \"corr_ahead\": %s, "
        "\"corr_behind\": %s, \"cpu_ms_per_s\": %s}",
        first ? "" : ",\n", speakers.name, algorithm.name, HrtfName(scene.Get().hrtf), channels,
        Number(LevelDifference(side, channels, speakers), "%.2f").c_str(),
        Number(DelayMs(side, channels)).c_str(),
        Number(FrontBack(ahead, behind, channels), "%.2f").c_str(),
        Number(SideCorrelation(ahead, channels)).c_str(),
        Number(SideCorrelation(behind, channels)).c_str(),
        Number(CpuPerSecond(&scene), "%.2f").c_str());
    return true;
}

bool PrintSweep(const Algorithm& algorithm, bool first) {
    Scene scene(DSSPEAKER_HEADPHONE, HrtfOn(DSSPEAKER_HEADPHONE, algorithm));
    if (!scene.Opened()) {
        std::fprintf(stderr, "measure_choices: no renderer for the sweep\n");
        return false;
    }
    for (int step = -20; step <= 20; ++step) {
        const float x = static_cast<float>(step) / 10.0f;
        const std::vector<float> frames = scene.At(x, 0, 1);
        std::printf(
            "%s    {\"algorithm\": \"%s\", \"x\": %.1f, \"level_db\": %s, \"delay_ms\": %s}",
            first && step == -20 ? "" : ",\n", algorithm.name, x,
            Number(LevelDifference(frames, 2, SPEAKERS[0]), "%.2f").c_str(),
            Number(DelayMs(frames, 2)).c_str());
    }
    return true;
}

}  // namespace

int main() {
    bool ok = true;
    std::printf("{\n  \"rows\": [\n");
    bool first = true;
    for (const Speakers& speakers : SPEAKERS) {
        for (const Algorithm& algorithm : ALGORITHMS) {
            ok = PrintRow(speakers, algorithm, first) && ok;
            first = false;
        }
    }
    std::printf("\n  ],\n  \"sweep\": [\n");
    first = true;
    for (const Algorithm& algorithm : ALGORITHMS) {
        ok = PrintSweep(algorithm, first) && ok;
        first = false;
    }
    std::printf("\n  ]\n}\n");
    return ok ? 0 : 1;
}
