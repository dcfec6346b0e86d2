#include "platform/gtk/GtkApplicationShell.h"

#include <cstdio>
#include <unistd.h>
#include <vector>

#include <gtk/gtk.h>

#include "platform/glib/GLibOwners.h"
#include "platform/gtk/BusAutolaunch.h"
#include "platform/gtk/GtkExamWindow.h"
#include "platform/gtk/QuitSignalWatch.h"

namespace tessaro {

GtkApplicationShell::GtkApplicationShell(const std::string& applicationId, int argc, char** argv,
                                         std::function<void()> beforeReturn, std::function<void()> dismissAlert)
    : m_application(GObjectPtr<GtkApplication>(gtk_application_new(applicationId.c_str(), G_APPLICATION_HANDLES_OPEN)))
    , m_argc(argc)
    , m_argv(argv)
    , m_beforeReturn(std::move(beforeReturn))
    , m_dismissAlert(std::move(dismissAlert))
{
    connectSignals();
}

GtkApplicationShell::~GtkApplicationShell()
{
    g_signal_handlers_disconnect_by_data(m_application.get(), this);
}

void GtkApplicationShell::connectSignals()
{
    const auto startup = +[](GtkApplication* application, GtkApplicationShell* self) {
        const GObjectPtr<GSimpleAction> quitShortcut(g_simple_action_new("quit-shortcut", nullptr));
        const auto pressed = +[](GtkApplicationShell* shell) { shell->m_events->quitShortcutPressed(); };
        g_signal_connect_swapped(quitShortcut.get(), "activate", G_CALLBACK(pressed), self);
        g_action_map_add_action(G_ACTION_MAP(application), G_ACTION(quitShortcut.get()));
        const char* accelerators[] = { "<Control>q", nullptr };
        gtk_application_set_accels_for_action(application, "app.quit-shortcut", accelerators);
    };
    g_signal_connect(m_application.get(), "startup", G_CALLBACK(startup), this);
    const auto activate = +[](GtkApplication*, GtkApplicationShell* self) { self->showWindow(); };
    g_signal_connect(m_application.get(), "activate", G_CALLBACK(activate), this);
    const auto open = +[](GtkApplication*, GFile** files, int count, const char*, GtkApplicationShell* self) {
        std::vector<std::string> urls;
        for (int i = 0; i < count; ++i) {
            const GCharPtr uri(g_file_get_uri(files[i]));
            urls.emplace_back(uri.get());
        }
        // Before the window: a link given on the first start must be stored before the
        // status check composes the launch address.
        self->m_events->openURLs(urls);
        self->showWindow();
    };
    g_signal_connect(m_application.get(), "open", G_CALLBACK(open), this);
}

int GtkApplicationShell::run(ApplicationEvents& events)
{
    m_events = &events;
    // The exam window draws with cairo: GTK's GL renderer costs about 100 MiB and, where
    // GL is software, over a second of the main thread before the first load may start.
    // Whoever starts the program may still choose another.
    g_setenv("GSK_RENDERER", "cairo", false);
    preventBusAutolaunch();
    // GTK opens a Wayland display first where WAYLAND_DISPLAY is set, an X display
    // otherwise; without either it would end the process with a warning of its own.
    if (!gtk_init_check()) {
        std::fprintf(stderr,
                     "tessaro: no display: neither a Wayland compositor nor an X server could be reached "
                     "(WAYLAND_DISPLAY, DISPLAY)\n");
        return 1;
    }
    auto quitSignals
        = std::make_unique<QuitSignalWatch>([this](QuitSignal signal) { m_events->quitSignalReceived(signal); });
    const int status = g_application_run(G_APPLICATION(m_application.get()), m_argc, m_argv);
    // From here a signal ends the process at once, should stopping the workers wait.
    quitSignals.reset();
    // Stopping the workers abandons unfinished downloads, whose temporary files go with them.
    m_beforeReturn();
    if (m_endingSignal)
        QuitSignalWatch::endProcessBy(*m_endingSignal);
    return status;
}

void GtkApplicationShell::terminate()
{
    g_application_quit(G_APPLICATION(m_application.get()));
}

void GtkApplicationShell::terminateOnSignal(QuitSignal signal)
{
    m_endingSignal = signal;
    // The alert of a refused launch ends as its button would end it, and the refusal then
    // ends the process by the signal.
    m_dismissAlert();
    terminate();
}

void GtkApplicationShell::exitNow(int status)
{
    if (m_endingSignal)
        QuitSignalWatch::endProcessBy(*m_endingSignal);
    std::fflush(stdout);
    _exit(status);
}

GtkWindow* GtkApplicationShell::examWindow() const
{
    return m_window ? m_window->window() : nullptr;
}

void GtkApplicationShell::showWindow()
{
    if (m_window)
        return;
    m_window = std::make_unique<GtkExamWindow>(m_application.get(), [this] { m_events->quitShortcutPressed(); });
    m_events->mainWindowCreated(*m_window);
    gtk_window_present(m_window->window());
}

}
