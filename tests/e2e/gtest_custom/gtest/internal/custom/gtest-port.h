// Found before GoogleTest's own (empty) customization header.  MinGW's win32
// thread model (GCC 12) has no std::mutex or std::condition_variable, on
// which GoogleTest builds its Notification; this one waits on a Windows
// event instead.  GoogleTest's other threading parts already use Windows
// primitives on MinGW.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace testing::internal
