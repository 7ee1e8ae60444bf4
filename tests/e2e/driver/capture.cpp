#include "capture.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <algorithm>

#include "alsa_output.h"

namespace e2e {

namespace {

const double kDominance = 1.5;

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

uint16_t Le16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

double Rms(const std::vector<float>& samples, size_t begin, size_t end) {
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return end > begin ? std::sqrt(sum / static_cast<double>(end - begin)) : 0.0;
}

}  // namespace

unsigned long long FileSize(const std::string& unixPath) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(WinePath(unixPath).c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

::testing::AssertionResult CaptureGrows(const std::string& unixPath, unsigned long long bytes) {
    const unsigned long long start = FileSize(unixPath);
    for (int waited = 0; waited < 20000; waited += 20) {
        if (FileSize(unixPath) >= start + bytes) {
            return ::testing::AssertionSuccess();
        }
        Sleep(20);
    }
    return ::testing::AssertionFailure() << unixPath << " stopped growing at "
                                         << FileSize(unixPath) << " bytes";
}

bool ReadCapture(const std::string& unixPath, Capture* capture, std::string* error) {
    std::string bytes;
    if (!ReadWholeFile(unixPath, &bytes)) {
        *error = "cannot read " + unixPath;
        return false;
    }
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        *error = unixPath + " is not a RIFF/WAVE file (" + std::to_string(bytes.size()) + " bytes)";
        return false;
    }
    size_t position = 12;
    bool haveFormat = false;
    unsigned bits = 0;
    while (position + 8 <= bytes.size()) {
        const std::string id = bytes.substr(position, 4);
        const uint32_t size = Le32(bytes, position + 4);
        const size_t body = position + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            capture->channels = Le16(bytes, body + 2);
            capture->rate = Le32(bytes, body + 4);
            bits = Le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || bits != 32 || capture->channels != 2) {
                *error = "expected 32-bit stereo, found " + std::to_string(bits) + "-bit with " +
                         std::to_string(capture->channels) + " channels";
                return false;
            }
            // Sizes are patched when the writer closes the stream; a writer
            // still running (or killed) leaves them unset.
            size_t end = bytes.size();
            capture->closed = size != 0 && size != 0xFFFFFFFFu && body + size <= bytes.size();
            if (capture->closed) {
                end = body + size;
            }
            const size_t frames = (end - body) / 8;
            capture->left.resize(frames);
            capture->right.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                std::memcpy(&capture->left[i], &bytes[body + i * 8], 4);
                std::memcpy(&capture->right[i], &bytes[body + i * 8 + 4], 4);
                if (!std::isfinite(capture->left[i]) || !std::isfinite(capture->right[i]) ||
                    std::fabs(capture->left[i]) > 8.0f || std::fabs(capture->right[i]) > 8.0f) {
                    *error = "samples are not float audio at frame " + std::to_string(i);
                    return false;
                }
            }
            return true;
        }
        position = body + size + (size & 1);
    }
    *error = "no data chunk in " + unixPath;
    return false;
}

std::string SegmentLabels(const Capture& capture, size_t segmentFrames, double silence) {
    std::string labels;
    for (size_t begin = 0; begin < capture.left.size(); begin += segmentFrames) {
        const size_t end = std::min(begin + segmentFrames, capture.left.size());
        const double left = Rms(capture.left, begin, end);
        const double right = Rms(capture.right, begin, end);
        if (std::max(left, right) < silence) {
            labels += '-';
        } else if (left > right * kDominance) {
            labels += 'L';
        } else if (right > left * kDominance) {
            labels += 'R';
        } else {
            labels += 'C';
        }
    }
    return labels;
}

std::string Summary(const std::string& labels) {
    std::string summary;
    for (size_t i = 0; i < labels.size();) {
        size_t j = i;
        while (j < labels.size() && labels[j] == labels[i]) {
            ++j;
        }
        summary += (summary.empty() ? "" : " ") + std::string(1, labels[i]) + "*" +
                   std::to_string(j - i);
        i = j;
    }
    return summary;
}

std::string Order(const std::string& labels, size_t minRun) {
    std::string order;
    for (size_t i = 0; i < labels.size();) {
        size_t j = i;
        while (j < labels.size() && labels[j] == labels[i]) {
            ++j;
        }
        if (j - i >= minRun && (order.empty() || order.back() != labels[i])) {
            order += labels[i];
        }
        i = j;
    }
    return order;
}

}  // namespace e2e
