// Found before GoogleTest's own (empty) customization header.  MinGW's win32
// thread model (GCC 12) has no std::mutex or std::condition_variable, on
// which GoogleTest builds its Notification; this one waits on a Windows
// event instead.  GoogleTest's other threading parts already use Windows
// primitives on MinGW.
#ifndef SOUND3D_E2E_GTEST_CUSTOM_PORT_H_
#define SOUND3D_E2E_GTEST_CUSTOM_PORT_H_

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif  // SOUND3D_E2E_GTEST_CUSTOM_PORT_H_
