#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Application.h"
#include "platform/glib/GLibOwners.h"

typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWindow GtkWindow;

namespace tessaro {

class GtkExamWindow;

// The process as a GtkApplication: one window, launch links through "open" (also on
// first start), Ctrl+Q as the quit shortcut, SIGHUP, SIGINT and SIGTERM as quit signals.
// With a session bus a second start hands its link to the running instance and ends.
class GtkApplicationShell final : public Application {
public:
    // beforeReturn runs when the main loop has ended; dismissAlert ends an alert that is up.
    GtkApplicationShell(const std::string& applicationId, int argc, char** argv, std::function<void()> beforeReturn,
                        std::function<void()> dismissAlert);
    ~GtkApplicationShell() override;

    int run(ApplicationEvents& events) override;
    void terminate() override;
    void terminateOnSignal(QuitSignal signal) override;
    void exitNow(int status) override;

    // The exam window, once it exists.
    GtkWindow* examWindow() const;

private:
    void connectSignals();
    void showWindow();

    GObjectPtr<GtkApplication> m_application;
    int m_argc;
    char** m_argv;
    std::function<void()> m_beforeReturn;
    std::function<void()> m_dismissAlert;
    ApplicationEvents* m_events = nullptr;
    std::unique_ptr<GtkExamWindow> m_window;
    std::optional<QuitSignal> m_endingSignal;
};

}
