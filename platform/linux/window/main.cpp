// The process entry: hands control to WinMain as the Windows start-up does
// and returns its result as the exit code.
#include "platform/linux/resources.h"
#include "platform/linux/window/application.h"
#include "platform/win32_decls.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

int main() {
    char commandLine[] = "";  // the program takes no options
    const int result = WinMain(ProgramInstance(), nullptr, commandLine, SW_SHOWDEFAULT);
    ShutDownApplication();
    return result;
}
