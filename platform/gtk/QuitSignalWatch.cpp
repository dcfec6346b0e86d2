#include "platform/gtk/QuitSignalWatch.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <utility>

#include <glib-unix.h>
#include <unistd.h>

#include "platform/glib/GLibCallbacks.h"

namespace tessaro {

namespace {

struct WatchedSignal {
    int number;
    QuitSignal signal;
};

constexpr std::array watchedSignals = {
    WatchedSignal { SIGHUP, QuitSignal::hangUp },
    WatchedSignal { SIGINT, QuitSignal::interrupt },
    WatchedSignal { SIGTERM, QuitSignal::terminate },
};

}

QuitSignalWatch::QuitSignalWatch(std::function<void(QuitSignal)> received)
    : m_received(std::move(received))
{
    for (const auto& watched : watchedSignals) {
        auto arrived = [this, signal = watched.signal] {
            m_received(signal);
            return true;
        };
        using Boxed = BoxedCallable<decltype(arrived)>;
        m_sources.push_back(g_unix_signal_add_full(G_PRIORITY_DEFAULT, watched.number, &Boxed::runSource,
                                                   Boxed::box(std::move(arrived)), &Boxed::release));
    }
}

QuitSignalWatch::~QuitSignalWatch()
{
    for (const unsigned source : m_sources)
        g_source_remove(source);
    for (const auto& watched : watchedSignals)
        std::signal(watched.number, SIG_DFL);
}

void QuitSignalWatch::endProcessBy(QuitSignal signal)
{
    std::fflush(stdout);
    const int number = std::ranges::find(watchedSignals, signal, &WatchedSignal::signal)->number;
    std::signal(number, SIG_DFL);
    std::raise(number);
    // Only a blocked signal lets the process live on to here.
    _exit(128 + number);
}

}
