#pragma once

#include <string>
#include <vector>

namespace tessaro {

class Window;

// What the application shell reports to the program, on the main thread.
class ApplicationEvents {
public:
    virtual ~ApplicationEvents() = default;
    // Launch links handed to this process, on first start or by a later invocation.
    virtual void openURLs(const std::vector<std::string>& urls) = 0;
    // The quit shortcut, or the window manager's request to close the exam window.
    virtual void quitShortcutPressed() = 0;
    // The one exam window exists and is about to be shown for the first time.
    virtual void mainWindowCreated(Window& window) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    // Runs the main loop until the application terminates; returns the exit status.
    virtual int run(ApplicationEvents& events) = 0;
    // The normal termination sequence; the process then ends with status 0.
    virtual void terminate() = 0;
    // Ends the process at once with the given status, without the termination sequence.
    virtual void exitNow(int status) = 0;
};

}
