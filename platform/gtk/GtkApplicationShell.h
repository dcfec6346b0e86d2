#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Application.h"
#include "platform/glib/GLibOwners.h"

typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWindow GtkWindow;
typedef struct _GApplication GApplication;
typedef struct _GFile GFile;

namespace tessaro {

class GtkExamWindow;

// The process as a GtkApplication: one window, launch links through "open" (also on
// first start), Ctrl+Q as the quit shortcut. With a session bus a second start hands
// its link to the running instance and ends.
class GtkApplicationShell final : public Application {
public:
    GtkApplicationShell(const std::string& applicationId, int argc, char** argv, std::function<void()> beforeReturn);
    ~GtkApplicationShell() override;

    int run(ApplicationEvents& events) override;
    void terminate() override;
    void exitNow(int status) override;

    // The exam window, once it exists.
    GtkWindow* examWindow() const;

private:
    void connectSignals();
    void showWindow();
    static void startup(GApplication*, GtkApplicationShell* self);
    static void activate(GApplication*, GtkApplicationShell* self);
    static void open(GApplication*, GFile** files, int count, const char* hint, GtkApplicationShell* self);

    GObjectPtr<GtkApplication> m_application;
    int m_argc;
    char** m_argv;
    std::function<void()> m_beforeReturn;
    ApplicationEvents* m_events = nullptr;
    std::unique_ptr<GtkExamWindow> m_window;
};

}
