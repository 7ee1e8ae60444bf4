#include "alsa_output.h"

#include <cstdlib>
#include <vector>

namespace e2e {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string TempFile(const std::string& name) {
    return Environment("E2E_TMP") + "/" + name;
}

std::wstring WinePath(const std::string& unixPath) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, unixPath.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1) {
        MultiByteToWideChar(CP_UTF8, 0, unixPath.c_str(), -1, &wide[0], size);
    }
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return L"Z:" + wide;
}

std::string MissingEnvironment() {
    std::string missing;
    for (const char* name : {"E2E_TMP", "E2E_ASOUNDRC", "E2E_FIFO"}) {
        if (Environment(name).empty()) {
            missing += std::string(missing.empty() ? "" : ", ") + name;
        }
    }
    return missing;
}

namespace {

bool WriteWholeFile(const std::string& unixPath, const std::string& bytes) {
    HANDLE file = CreateFileW(WinePath(unixPath).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool WriteAsoundrc(const std::string& text) {
    const std::string path = Environment("E2E_ASOUNDRC");
    return !path.empty() && WriteWholeFile(path, text);
}

}  // namespace

bool CaptureTo(const std::string& unixPath) {
    DeleteFileW(WinePath(unixPath).c_str());
    return CaptureToFifo(unixPath);
}

bool CaptureToFifo(const std::string& unixPath) {
    return WriteAsoundrc("pcm.!default {\n"
                         "    type file\n"
                         "    slave.pcm \"null\"\n"
                         "    file \"" + unixPath + "\"\n"
                         "    format \"wav\"\n"
                         "}\n");
}

bool NoSoundOutput() {
    return WriteAsoundrc("pcm.!default {\n"
                         "    type hw\n"
                         "    card 7\n"
                         "}\n"
                         "ctl.!default {\n"
                         "    type hw\n"
                         "    card 7\n"
                         "}\n");
}

bool UnopenableSoundOutput() {
    return WriteAsoundrc("pcm.!default {\n"
                         "    type plug\n"
                         "    slave {\n"
                         "        pcm \"null\"\n"
                         "        rate 44100\n"
                         "    }\n"
                         "    rate_converter \"sound3d_e2e_missing\"\n"
                         "}\n");
}

bool ReadWholeFile(const std::string& unixPath, std::string* bytes) {
    bytes->clear();
    HANDLE file = CreateFileW(WinePath(unixPath).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::vector<char> chunk(1 << 16);
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) &&
           got > 0) {
        bytes->append(chunk.data(), got);
    }
    CloseHandle(file);
    return ok;
}

FifoDrain::~FifoDrain() {
    if (thread_ != nullptr) {
        if (WaitForSingleObject(opened_, 0) != WAIT_OBJECT_0) {
            // Still waiting for a writer: be one, so the open returns and
            // the thread sees the end at once.
            HANDLE writer = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (writer != INVALID_HANDLE_VALUE) {
                CloseHandle(writer);
            }
        }
        if (WaitForSingleObject(thread_, 10000) != WAIT_OBJECT_0) {
            TerminateThread(thread_, 1);
        }
        CloseHandle(thread_);
    }
    if (opened_ != nullptr) {
        CloseHandle(opened_);
    }
}

bool FifoDrain::Start(const std::string& unixPath) {
    path_ = WinePath(unixPath);
    opened_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &FifoDrain::Run, this, 0, nullptr);
    return opened_ != nullptr && thread_ != nullptr;
}

bool FifoDrain::Opened(DWORD timeoutMs) {
    return WaitForSingleObject(opened_, timeoutMs) == WAIT_OBJECT_0 && openSucceeded_;
}

bool FifoDrain::Finished(DWORD timeoutMs) {
    return WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI FifoDrain::Run(void* self) {
    auto* drain = static_cast<FifoDrain*>(self);
    HANDLE fifo = CreateFileW(drain->path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    drain->openSucceeded_ = fifo != INVALID_HANDLE_VALUE;
    SetEvent(drain->opened_);
    if (fifo == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::vector<char> chunk(1 << 16);
    DWORD got = 0;
    while (ReadFile(fifo, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) &&
           got > 0) {
        drain->bytes_ = drain->bytes_ + got;
    }
    CloseHandle(fifo);
    return 0;
}

}  // namespace e2e
