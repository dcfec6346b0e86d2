#include "tests/e2e/support/ExamTest.h"

#include <algorithm>
#include <filesystem>

#include "tests/e2e/support/X11Desktop.h"

namespace tessaro::e2e {

std::string scenarioPage()
{
    return std::string(E2E_PAGES_DIR) + "/scenarios.html";
}

void ExamTest::SetUp()
{
    std::filesystem::create_directories(downloads());
    m_desktop = Desktop::start(desktopKind(), folder(), screens());
    if (auto* x11 = dynamic_cast<X11Desktop*>(m_desktop.get()))
        m_x = &x11->session();
}

void ExamTest::TearDown()
{
    if (HasFailure() && m_desktop) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("failed-") + test->test_suite_name() + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        keepScreenshot(name);
    }
    if (HasFailure() && m_tessaro) {
        for (const auto& line : m_tessaro->lines())
            std::fprintf(stderr, "tessaro: %s\n", line.c_str());
    }
    m_tessaro.reset();
    m_service.reset();
    m_x = nullptr;
    m_desktop.reset();
}

void ExamTest::startService(const std::vector<std::string>& options)
{
    m_service = std::make_unique<ExamService>(folder(), options);
}

void ExamTest::startServiceWithScenarios(const std::vector<std::string>& options)
{
    std::vector<std::string> all { "--launch-page", scenarioPage() };
    all.insert(all.end(), options.begin(), options.end());
    startService(all);
}

Environment ExamTest::homeEnvironment() const
{
    return {
        { "HOME", home() },
        { "XDG_CONFIG_HOME", home() + "/.config" },
        { "XDG_CACHE_HOME", home() + "/.cache" },
        { "XDG_DATA_HOME", home() + "/.local/share" },
        { "XDG_RUNTIME_DIR", folder() },
        { "TMPDIR", folder() },
        // No session bus: each test's program is its own instance, and nothing
        // starts a bus on the test's behalf.
        { "DBUS_SESSION_BUS_ADDRESS", "unix:path=" + folder() + "/no-bus" },
        { "NO_AT_BRIDGE", "1" },
        { "GTK_A11Y", "none" },
    };
}

Subprocess& ExamTest::startTessaro(const std::vector<std::string>& arguments, const Environment& extra)
{
    auto environment = inheritedEnvironment(homeEnvironment());
    m_desktop->addDisplay(environment);
    for (const auto& [key, value] : extra)
        environment[key] = value;
    std::vector<std::string> argv { TESSARO_LOCAL_BINARY };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    m_tessaro = std::make_unique<Subprocess>(m_desktop->command(argv), environment, folder() + "/tessaro.stderr");
    return *m_tessaro;
}

std::string ExamTest::waitForExamWindow()
{
    const auto window = m_desktop->waitForWindow(*m_tessaro, Seconds(20));
    if (!window)
        throw std::runtime_error("no window of tessaro-local appeared");
    return *window;
}

void ExamTest::keepScreenshot(const std::string& name) const
{
    std::filesystem::create_directories(E2E_ARTIFACTS_DIR);
    m_desktop->screenshot(std::string(E2E_ARTIFACTS_DIR) + "/" + name + ".png");
}

std::optional<std::string> ExamTest::waitForOutput(const std::string& line, Seconds timeout)
{
    return m_tessaro->waitForLine(line, timeout);
}

}
