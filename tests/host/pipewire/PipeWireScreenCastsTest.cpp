#include <csignal>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "platform/pipewire/PipeWireScreenCasts.h"
#include "platform/pipewire/ScreenCastGraph.h"
#include "tests/e2e/support/PipeWireDaemon.h"
#include "tests/e2e/support/TemporaryFolder.h"

namespace tessaro {
namespace {

using e2e::PipeWireDaemon;
using Strings = std::vector<std::string>;

TEST(ScreenCastGraph, ScreenCastSourcesNamedByWhoReceivesThem)
{
    const PipeWireProperties portal { { "media.class", "Video/Source" },
                                      { "application.name", "xdg-desktop-portal-wlr" } };
    const PipeWireProperties shell { { "media.class", "Video/Source" }, { "node.name", "meta-screen-cast-src" } };
    const PipeWireProperties screenRole { { "media.class", "Video/Source" },
                                          { "media.role", "Screen" },
                                          { "device.api", "v4l2" },
                                          { "application.name", "KWin" } };
    const PipeWireProperties v4l2 { { "media.class", "Video/Source" }, { "device.api", "v4l2" } };
    const PipeWireProperties libcamera { { "media.class", "Video/Source" }, { "device.api", "libcamera" } };
    const PipeWireProperties cameraRole { { "media.class", "Video/Source" }, { "media.role", "Camera" } };
    const PipeWireProperties fromDevice { { "media.class", "Video/Source" }, { "device.id", "40" } };
    const PipeWireProperties microphone { { "media.class", "Audio/Source" }, { "application.name", "mic" } };
    const PipeWireProperties firefox { { "media.class", "Stream/Input/Video" }, { "application.name", "Firefox" } };
    const PipeWireProperties obs { { "media.class", "Stream/Input/Video" }, { "node.name", "obs" } };
    const PipeWireProperties nameless { { "media.class", "Video/Source" } };

    struct Case {
        const char* what;
        ScreenCastGraph graph;
        Strings expected;
    };
    const Case cases[] = {
        { "nothing", {}, {} },
        { "a portal's source nobody receives yet", { { { 40, portal } }, {} }, { "xdg-desktop-portal-wlr" } },
        { "named by its node when it has no application", { { { 41, shell } }, {} }, { "meta-screen-cast-src" } },
        { "media role Screen wins", { { { 42, screenRole } }, {} }, { "KWin" } },
        { "cameras and microphones are not screen casts",
          { { { 50, v4l2 },
              { 51, libcamera },
              { 52, cameraRole },
              { 53, fromDevice },
              { 54, microphone },
              { 60, firefox } },
            { { 50, 60 }, { 51, 60 } } },
          {} },
        { "receivers, each once, in place of the source",
          { { { 40, portal }, { 60, firefox }, { 61, obs } }, { { 40, 60 }, { 40, 61 }, { 40, 60 } } },
          { "Firefox", "obs" } },
        { "a link to a node not seen is still a receiver",
          { { { 40, portal } }, { { 40, 99 } } },
          { "PipeWire node 99" } },
        { "in node order",
          { { { 70, nameless }, { 40, portal } }, {} },
          { "xdg-desktop-portal-wlr", "PipeWire node 70" } },
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(screenCastApplications(testCase.graph), testCase.expected) << testCase.what;
}

// The implementation against a real PipeWire daemon, found through XDG_RUNTIME_DIR.
class PipeWireScreenCastsTest : public ::testing::Test {
protected:
    void useRuntimeFolder(const std::string& folder)
    {
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        unsetenv("PIPEWIRE_REMOTE");
        unsetenv("PIPEWIRE_RUNTIME_DIR");
    }

    e2e::TemporaryFolder m_folder;
};

TEST_F(PipeWireScreenCastsTest, WithoutPipeWireThereIsNothingToTell)
{
    useRuntimeFolder(m_folder.path());
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings {});
}

TEST_F(PipeWireScreenCastsTest, SeesAPortalsScreenCastButNoCamera)
{
    PipeWireDaemon daemon(m_folder.path());
    useRuntimeFolder(daemon.runtimeFolder());
    daemon.createNode("videotestsrc", PipeWireDaemon::camera());
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings {});

    daemon.createNode("videotestsrc", PipeWireDaemon::screenCast("xdg-desktop-portal-wlr"));
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings { "xdg-desktop-portal-wlr" });
}

TEST_F(PipeWireScreenCastsTest, APipeWireThatGoesAwayOrHangsTellsNothing)
{
    PipeWireDaemon daemon(m_folder.path());
    useRuntimeFolder(daemon.runtimeFolder());
    daemon.createNode("videotestsrc", PipeWireDaemon::screenCast("gnome-shell"));
    daemon.signal(SIGSTOP);
    EXPECT_EQ(PipeWireScreenCasts(std::chrono::milliseconds(300)).activeScreenCasts(), Strings {}) << "hanging";

    std::thread killer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        daemon.signal(SIGKILL);
    });
    EXPECT_EQ(PipeWireScreenCasts(std::chrono::seconds(20)).activeScreenCasts(), Strings {}) << "gone mid-check";
    killer.join();
}

}
}
