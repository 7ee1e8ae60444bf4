// Where the sound of the next sound3d.exe goes.  Wine's ALSA driver runs
// inside each Windows process and alsa-lib reads ~/.asoundrc when the process
// first touches ALSA, so rewriting that file before a launch redirects the
// program started next (the same files wine_env.sh writes).  A program
// already running keeps what it read: alsa-lib does not notice the change.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// A variable of the runner's environment; empty when unset.
std::string Environment(const char* name);

// The runner's temporary directory (E2E_TMP) joined with a file name.
std::string TempFile(const std::string& name);

// Wine's drive Z: is the Unix root.
std::wstring WinePath(const std::string& unixPath);

// What is missing from the environment run.sh sets up; empty when complete.
std::string MissingEnvironment();

// ALSA's default pcm becomes a `file` plugin over `null`, writing a WAV at
// unixPath (removed first, so a program that never opens a device leaves no
// file).
bool CaptureTo(const std::string& unixPath);
// The same into a FIFO that exists: the program's start then waits in the
// device's creation until someone opens the FIFO for reading.
bool CaptureToFifo(const std::string& unixPath);
// An output that lists but cannot be opened: its rate converter is missing,
// which only matters once a stream is set up at a rate it must convert.
bool UnopenableSoundOutput();

// A machine without sound output: the default pcm names a card that does
// not exist.
bool NoSoundOutput();

bool ReadWholeFile(const std::string& unixPath, std::string* bytes);

// Reads a FIFO on a thread of its own until the writer closes it: the
// capture plugin writes continuously, and a full pipe would stall playback.
class FifoDrain {
public:
    FifoDrain() = default;
    FifoDrain(const FifoDrain&) = delete;
    FifoDrain& operator=(const FifoDrain&) = delete;
    ~FifoDrain();

    // Opens the FIFO for reading on the thread.  Opening waits for a
    // writer; Opened tells whether one came, and the open succeeded, within
    // the time given.
    bool Start(const std::string& unixPath);
    bool Opened(DWORD timeoutMs);
    // True once the writer closed its end and everything was read.
    bool Finished(DWORD timeoutMs);
    unsigned long long BytesRead() const { return bytes_; }

private:
    static DWORD WINAPI Run(void* self);

    std::wstring path_;
    HANDLE thread_ = nullptr;
    HANDLE opened_ = nullptr;
    volatile bool openSucceeded_ = false;
    volatile unsigned long long bytes_ = 0;
};

}  // namespace e2e
