#pragma once

#include <string>
#include <vector>

namespace tessaro {

class Window;

// The signals that ask a process to end: a terminal's hang-up (its window closed, the
// session's end), its interrupt (Ctrl+C), and the termination a logout or shutdown sends.
enum class QuitSignal { hangUp, interrupt, terminate };

// What the application shell reports to the program, on the main thread.
class ApplicationEvents {
public:
    virtual ~ApplicationEvents() = default;
    // Launch links handed to this process, on first start or by a later invocation.
    virtual void openURLs(const std::vector<std::string>& urls) = 0;
    // The quit shortcut, or the window manager's request to close the exam window.
    virtual void quitShortcutPressed() = 0;
    // A signal asking the process to end arrived; delivered on the main thread, never
    // in the middle of other work there.
    virtual void quitSignalReceived(QuitSignal signal) = 0;
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
    // The same termination sequence; the process then ends by the signal, as it would
    // have without the program's handling, so whoever sent it sees it took effect.
    virtual void terminateOnSignal(QuitSignal signal) = 0;
    // Ends the process at once with the given status, without the termination sequence;
    // after a quit signal, by that signal.
    virtual void exitNow(int status) = 0;
};

}
