#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Host.h"

namespace tessaro::testing {

// What the core asked of the fake host, in order, as short readable entries.
using CallLog = std::vector<std::string>;
// Lines of output, page calls, loaded addresses: texts in order.
using Lines = std::vector<std::string>;

// A fake that writes what it is asked into the host's call log.
class Recorder {
public:
    explicit Recorder(CallLog& calls)
        : m_calls(calls)
    {
    }

protected:
    void record(std::string entry) { m_calls.push_back(std::move(entry)); }

private:
    CallLog& m_calls;
};

// The fake host's services that keep state of their own: each records what it was asked
// or keeps it, and answers with what the test set.
class FakeStandardOutput final : public StandardOutput, Recorder {
public:
    using Recorder::Recorder;
    void writeLine(std::string_view line) override
    {
        lines.emplace_back(line);
        record("line " + std::string(line));
    }
    void writeLineInPieces(const PageText& line) override
    {
        std::string whole;
        line([&whole](std::string_view piece) {
            whole.append(piece);
            return true;
        });
        writeLine(whole);
    }
    std::vector<std::string> lines;
};

class FakeRunningApplications final : public RunningApplications, Recorder {
public:
    using Recorder::Recorder;
    std::vector<RunningApplication> runningApplications() override { return applications; }
    std::vector<RunningApplication> everyProcess() override
    {
        record("everyProcess");
        auto processes = applications;
        processes.insert(processes.end(), otherUsersProcesses.begin(), otherUsersProcesses.end());
        return processes;
    }
    // The student's own applications, then what other users and the system run.
    std::vector<RunningApplication> applications;
    std::vector<RunningApplication> otherUsersProcesses;
};

class FakePowerSources final : public PowerSources {
public:
    std::vector<PowerSource> powerSources() override { return sources; }
    std::vector<PowerSource> sources;
};

// A Downloads folder in memory: what exists there, and what was written.
class FakeFiles final : public Files, Recorder {
public:
    using Recorder::Recorder;

    PathOrError downloadsFolder() override { return folder; }
    std::optional<FileError> moveWithoutReplacing(const std::string& from, const std::string& to) override
    {
        record("files.move " + from + " " + to);
        if (moveFailure)
            return moveFailure;
        if (!existing.insert(to).second)
            return FileError { "Could not move \"" + from + "\" to \"" + to + "\": File exists" };
        return std::nullopt;
    }
    std::optional<FileError> writeAtomically(const std::string& path, const PageText& content) override
    {
        if (writeFailure)
            return writeFailure;
        std::string text;
        if (!content([&text](std::string_view piece) {
                text.append(piece);
                return true;
            }))
            return FileError { "Could not save \"" + path + "\": the text could not be read" };
        written[path] = text;
        existing.insert(path);
        return std::nullopt;
    }

    PathOrError folder = std::string("/home/student/Downloads");
    std::optional<FileError> moveFailure;
    std::optional<FileError> writeFailure;
    std::set<std::string> existing;
    std::map<std::string, std::string> written;
};

// Requests wait until the test completes them, each once; completing runs the completion
// on the test's thread, standing in for the worker thread.
class FakeHttpClient final : public HttpClient {
public:
    template <typename Result> struct Request {
        std::string address;
        std::function<void(Result)> completion;
    };

    void fetch(const std::string& address, std::function<void(HttpFetch)> completion) override
    {
        fetches.push_back({ address, std::move(completion) });
    }
    void download(const std::string& address, std::function<void(HttpDownload)> completion) override
    {
        downloads.push_back({ address, std::move(completion) });
    }
    void completeDownload(std::size_t index, HttpDownload result)
    {
        std::exchange(downloads.at(index).completion, nullptr)(std::move(result));
    }

    std::vector<Request<HttpFetch>> fetches;
    std::vector<Request<HttpDownload>> downloads;
};

// Timers and the main queue in virtual time: nothing runs until the test advances the
// clock; then posted work and due timers run in order, as on the main thread.
class VirtualClock final : public MainQueue, public Timers, Recorder {
public:
    using Recorder::Recorder;

    void post(std::function<void()> work) override { m_posted.push_back(std::move(work)); }
    void schedule(double intervalSeconds, bool repeats, std::function<void()> action) override
    {
        char entry[64];
        std::snprintf(entry, sizeof entry, "timers.schedule %g %s", intervalSeconds, repeats ? "repeating" : "once");
        record(entry);
        m_timers.emplace(m_now + intervalSeconds, Timer { intervalSeconds, repeats, std::move(action) });
    }

    // Runs everything that comes due up to now + seconds, posted work first.
    void advance(double seconds)
    {
        const double target = m_now + seconds;
        for (;;) {
            while (!m_posted.empty()) {
                auto work = std::move(m_posted.front());
                m_posted.pop_front();
                work();
            }
            if (m_timers.empty() || m_timers.begin()->first > target + 1e-9)
                break;
            auto [due, timer] = *m_timers.begin();
            m_timers.erase(m_timers.begin());
            m_now = due;
            if (timer.repeats)
                m_timers.emplace(due + timer.interval, timer);
            timer.action();
        }
        m_now = std::max(m_now, target);
    }
    double now() const { return m_now; }

private:
    struct Timer {
        double interval;
        bool repeats;
        std::function<void()> action;
    };

    double m_now = 0;
    // By due time; timers due at once run in the order they were scheduled.
    std::multimap<double, Timer> m_timers;
    std::deque<std::function<void()>> m_posted;
};

}
