#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/FileChooser.h"
#include "platform/Pasteboard.h"
#include "platform/PowerSources.h"
#include "platform/Resources.h"
#include "platform/RunningApplications.h"
#include "platform/ScreenCasts.h"
#include "platform/Screens.h"
#include "platform/StandardOutput.h"
#include "platform/SystemInfo.h"
#include "tests/support/CallLog.h"
#include "tests/support/VirtualClock.h"

// The fake host's small services: each records what it was asked and answers with what
// the test set.
namespace tessaro::testing {

class FakeApplication final : public Application {
public:
    explicit FakeApplication(CallLog& calls)
        : m_calls(calls)
    {
    }
    int run(ApplicationEvents&) override { return 0; }
    void terminate() override
    {
        m_calls.add("application.terminate");
        ++terminations;
    }
    void exitNow(int status) override
    {
        m_calls.add("application.exitNow " + std::to_string(status));
        exitStatus = status;
    }

    int terminations = 0;
    std::optional<int> exitStatus;

private:
    CallLog& m_calls;
};

class FakePasteboard final : public Pasteboard {
public:
    explicit FakePasteboard(CallLog& calls)
        : m_calls(calls)
    {
    }
    void clearContents() override
    {
        m_calls.add("pasteboard.clearContents");
        ++clears;
    }
    int clears = 0;

private:
    CallLog& m_calls;
};

class FakeStandardOutput final : public StandardOutput {
public:
    explicit FakeStandardOutput(CallLog& calls)
        : m_calls(calls)
    {
    }
    void writeLine(std::string_view line) override
    {
        lines.emplace_back(line);
        m_calls.add("line " + std::string(line));
    }
    std::vector<std::string> lines;

private:
    CallLog& m_calls;
};

class FakeScreens final : public Screens {
public:
    explicit FakeScreens(CallLog& calls)
        : m_calls(calls)
    {
    }
    int count() override
    {
        m_calls.add("screens.count");
        return screenCount;
    }
    bool hasMainScreen() override { return mainScreen; }
    int screenCount = 1;
    bool mainScreen = true;

private:
    CallLog& m_calls;
};

// The student reads the alert for a while (the clock is held meanwhile), then presses
// its button.
class FakeAlert final : public Alert {
public:
    FakeAlert(CallLog& calls, VirtualClock& clock)
        : m_calls(calls)
        , m_clock(clock)
    {
    }
    void runModal(const AlertContent& content) override;
    std::vector<AlertContent> shown;
    double secondsUp = 60.0;

private:
    CallLog& m_calls;
    VirtualClock& m_clock;
};

class FakeRunningApplications final : public RunningApplications {
public:
    explicit FakeRunningApplications(CallLog& calls)
        : m_calls(calls)
    {
    }
    std::vector<RunningApplication> runningApplications() override
    {
        m_calls.add("runningApplications");
        return applications;
    }
    std::vector<RunningApplication> everyProcess() override
    {
        m_calls.add("everyProcess");
        auto processes = applications;
        processes.insert(processes.end(), otherUsersProcesses.begin(), otherUsersProcesses.end());
        return processes;
    }
    // The student's own applications, then what other users and the system run.
    std::vector<RunningApplication> applications;
    std::vector<RunningApplication> otherUsersProcesses;

private:
    CallLog& m_calls;
};

class FakeScreenCasts final : public ScreenCasts {
public:
    explicit FakeScreenCasts(CallLog& calls)
        : m_calls(calls)
    {
    }
    std::vector<std::string> activeScreenCasts() override
    {
        m_calls.add("activeScreenCasts");
        return casts;
    }
    std::vector<std::string> casts;

private:
    CallLog& m_calls;
};

class FakeSystemInfo final : public SystemInfo {
public:
    OperatingSystemVersion operatingSystemVersion() override { return version; }
    std::string applicationVersion() override { return appVersion; }
    OperatingSystemVersion version { 6, 1, 0 };
    std::string appVersion = "1.0.0";
};

class FakePowerSources final : public PowerSources {
public:
    std::vector<PowerSource> powerSources() override { return sources; }
    std::vector<PowerSource> sources;
};

class FakeFileChooser final : public FileChooser {
public:
    explicit FakeFileChooser(CallLog& calls)
        : m_calls(calls)
    {
    }
    void chooseOneFile(std::function<void(std::optional<std::string>)> completion) override;
    // Ends the oldest open chooser with the file, or with nothing for cancel.
    void choose(std::optional<std::string> path);
    std::vector<std::function<void(std::optional<std::string>)>> open;

private:
    CallLog& m_calls;
};

class FakeResources final : public Resources {
public:
    std::string errorPageAddress() override { return "resource:///org/tessaro/Tessaro/error.html"; }
};

}
