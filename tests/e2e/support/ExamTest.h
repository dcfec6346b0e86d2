#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/support/Desktop.h"
#include "tests/e2e/support/ExamService.h"
#include "tests/e2e/support/Subprocess.h"
#include "tests/e2e/support/TemporaryFolder.h"
#include "tests/e2e/support/XSession.h"

namespace tessaro::e2e {

// One exam on a desktop of its own (an X server with a window manager unless the test
// asks for another), a fresh home folder with a Downloads folder, the local exam
// service and tessaro-local.
class ExamTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    virtual DesktopKind desktopKind() const { return DesktopKind::x11; }
    virtual Desktop::Screens screens() const { return Desktop::Screens::one; }

    void startService(const std::vector<std::string>& options = {});
    // The scenario page of the end-to-end tests, one scenario per exam key.
    void startServiceWithScenarios(const std::vector<std::string>& options = {});
    Subprocess& startTessaro(const std::vector<std::string>& arguments = {}, const Environment& extra = {});
    std::string waitForExamWindow();

    Environment homeEnvironment() const;
    std::string downloads() const { return home() + "/Downloads"; }
    std::string home() const { return m_folder.path() + "/home"; }
    std::string folder() const { return m_folder.path(); }
    // The program's lines so far.
    std::vector<std::string> output() const { return m_tessaro->lines(); }
    std::optional<std::string> waitForOutput(const std::string& line, Seconds timeout = Seconds(20));
    // A screenshot kept after the test, for a person to look at.
    void keepScreenshot(const std::string& name) const;

    TemporaryFolder m_folder;
    std::unique_ptr<Desktop> m_desktop;
    // The X session, on the X11 desktop only.
    XSession* m_x = nullptr;
    std::unique_ptr<ExamService> m_service;
    std::unique_ptr<Subprocess> m_tessaro;
};

// The same test on each desktop: TEST_P with a fixture OnEachDesktop<Fixture>, and
// INSTANTIATE_TEST_SUITE_P(On, ..., everyDesktop(), desktopTestName).
template <typename Fixture> class OnEachDesktop : public Fixture, public ::testing::WithParamInterface<DesktopKind> {
protected:
    DesktopKind desktopKind() const override { return this->GetParam(); }
};

std::string scenarioPage();

}
