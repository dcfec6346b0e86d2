#pragma once

#include <functional>
#include <vector>

#include "platform/Application.h"

namespace tessaro {

// Takes SIGHUP, SIGINT and SIGTERM on the main loop instead of letting them end the
// process wherever it stands, so the exam can end as the quit does. Once the watch is
// gone each signal has its default action again: a second one ends the process at once.
class QuitSignalWatch {
public:
    explicit QuitSignalWatch(std::function<void(QuitSignal)> received);
    ~QuitSignalWatch();
    QuitSignalWatch(const QuitSignalWatch&) = delete;
    QuitSignalWatch& operator=(const QuitSignalWatch&) = delete;

    // Ends the process by the signal's default action, with standard output written
    // out: its parent sees it end by that signal (a shell's status 128 + its number).
    [[noreturn]] static void endProcessBy(QuitSignal signal);

private:
    std::function<void(QuitSignal)> m_received;
    std::vector<unsigned> m_sources;
};

}
