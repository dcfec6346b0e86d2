#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Host.h"
#include "tests/support/CallLog.h"

// The fake host's services that keep state of their own: each records what it was asked
// or keeps it, and answers with what the test set.
namespace tessaro::testing {

class FakeStandardOutput final : public StandardOutput, Recorder {
public:
    using Recorder::Recorder;
    void writeLine(std::string_view line) override
    {
        lines.emplace_back(line);
        record("line " + std::string(line));
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
    std::optional<FileError> writeAtomically(const std::string& path, const std::string& content) override
    {
        if (writeFailure)
            return writeFailure;
        written[path] = content;
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
    void completeFetch(std::size_t index, HttpFetch result)
    {
        std::exchange(fetches.at(index).completion, nullptr)(std::move(result));
    }
    void completeDownload(std::size_t index, HttpDownload result)
    {
        std::exchange(downloads.at(index).completion, nullptr)(std::move(result));
    }

    std::vector<Request<HttpFetch>> fetches;
    std::vector<Request<HttpDownload>> downloads;
};

}
