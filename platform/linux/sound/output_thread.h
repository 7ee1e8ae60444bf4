// The SDL calls that wait on the sound server (starting the audio system,
// opening and closing a device) run one at a time on a helper thread of
// their own: a stalled server holds such a call for as long as it stays
// stalled, and the dialog must not wait with it. Used from the dialog's
// thread only.
#pragma once

#include <chrono>
#include <functional>

// Runs `call` on the helper thread and waits at most `limit` for its result.
// When it is late, one line on standard error names the call, `fallback` is
// returned at once, and `late` gets the result on the helper thread once the
// call has finished.
int RunOnOutputThread(const char* name, std::chrono::milliseconds limit, std::function<int()> call,
                      int fallback, std::function<void(int)> late);
// Runs `call` on the helper thread, after everything handed to it before.
void PostToOutputThread(std::function<void()> call);
// Waits at most `limit` for everything handed to the helper thread to finish.
void WaitForOutputThread(std::chrono::milliseconds limit);
