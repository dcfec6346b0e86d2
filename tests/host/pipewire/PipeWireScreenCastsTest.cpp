#include <csignal>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>
#include <pipewire/pipewire.h>

#include "platform/pipewire/PipeWireScreenCasts.h"
#include "platform/pipewire/ScreenCastGraph.h"
#include "tests/host/pipewire/PipeWireDaemon.h"
#include "tests/unit/platform/TemporaryFolder.h"

namespace tessaro {
namespace {

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
    const PipeWireProperties firefox { { "media.class", "Stream/Input/Video" }, { "application.name", "Firefox" } };
    const PipeWireProperties obs { { "media.class", "Stream/Input/Video" }, { "node.name", "obs" } };

    const std::tuple<const char*, ScreenCastGraph, Strings> cases[] = {
        { "nothing", {}, {} },
        { "a portal's source nobody receives yet", { { { 40, portal } }, {} }, { "xdg-desktop-portal-wlr" } },
        { "named by its node when it has no application", { { { 41, shell } }, {} }, { "meta-screen-cast-src" } },
        { "media role Screen wins", { { { 42, screenRole } }, {} }, { "KWin" } },
        { "cameras and microphones are not screen casts",
          { { { 50, { { "media.class", "Video/Source" }, { "device.api", "v4l2" } } },
              { 51, { { "media.class", "Video/Source" }, { "device.api", "libcamera" } } },
              { 52, { { "media.class", "Video/Source" }, { "media.role", "Camera" } } },
              { 53, { { "media.class", "Video/Source" }, { "device.id", "40" } } },
              { 54, { { "media.class", "Audio/Source" }, { "application.name", "mic" } } },
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
          { { { 70, { { "media.class", "Video/Source" } } }, { 40, portal } }, {} },
          { "xdg-desktop-portal-wlr", "PipeWire node 70" } },
    };
    for (const auto& [what, graph, expected] : cases)
        EXPECT_EQ(screenCastApplications(graph), expected) << what;
}

// A program that receives a screen cast (a browser sharing a screen): a video input
// stream of its own, which the test links to the source as a session manager would.
class ScreenCastReceiver {
public:
    explicit ScreenCastReceiver(const char* application)
    {
        pw_init(nullptr, nullptr);
        m_events.version = PW_VERSION_STREAM_EVENTS;
        m_stream = pw_stream_new_simple(pw_thread_loop_get_loop(m_loop), "receiver",
                                        pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                                          PW_KEY_APP_NAME, application, PW_KEY_NODE_NAME, "receiver",
                                                          nullptr),
                                        &m_events, nullptr);
        pw_stream_connect(m_stream, PW_DIRECTION_INPUT, PW_ID_ANY, PW_STREAM_FLAG_NONE, nullptr, 0);
        pw_thread_loop_start(m_loop);
    }
    ~ScreenCastReceiver()
    {
        pw_thread_loop_stop(m_loop);
        pw_stream_destroy(m_stream);
        pw_thread_loop_destroy(m_loop);
    }

private:
    pw_thread_loop* m_loop = pw_thread_loop_new("receiver", nullptr);
    pw_stream* m_stream = nullptr;
    pw_stream_events m_events {};
};

TEST(PipeWireScreenCasts, SeesAScreenCastNotACameraAndNamesItsReceiver)
{
    const TemporaryFolder folder;
    PipeWireDaemon daemon(folder.path());
    PipeWireDaemon::createNode(
        { { "media.class", "Video/Source" }, { "media.role", "Camera" }, { "device.api", "v4l2" } });
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings {});

    PipeWireDaemon::createNode({ { "media.class", "Video/Source" },
                                 { "node.name", "xdpw_stream" },
                                 { "application.name", "xdg-desktop-portal-wlr" } });
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings { "xdg-desktop-portal-wlr" });

    const ScreenCastReceiver browser("Firefox");
    // Linked as a session manager would, once the receiver's port shows.
    PipeWireDaemon::run(
        "for i in $(seq 100); do pw-link xdpw_stream:out_0 receiver:in_0 && exit; sleep 0.05; done; false");
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings { "Firefox" });
}

TEST(PipeWireScreenCasts, APipeWireThatIsMissingGoesAwayOrHangsTellsNothing)
{
    const TemporaryFolder folder;
    useRuntimeFolder(folder.path());
    EXPECT_EQ(PipeWireScreenCasts().activeScreenCasts(), Strings {}) << "missing";

    PipeWireDaemon daemon(folder.path());
    PipeWireDaemon::createNode({ { "media.class", "Video/Source" }, { "application.name", "gnome-shell" } });
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
