#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/linux/CgroupApplicationId.h"

namespace tessaro {
namespace {

TEST(CgroupApplicationId, UnitNamesTable)
{
    const std::string slice = "/user.slice/user-1000.slice/user@1000.service/app.slice/";
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        { "app-gnome-org.gnome.Terminal-4242.scope", "org.gnome.Terminal" },
        { "app-flatpak-com.obsproject.Studio-98765.scope", "com.obsproject.Studio" },
        { "app-org.kde.dolphin-3f2a1b0c9d8e7f6a5b4c3d2e1f0a9b8c.scope", "org.kde.dolphin" },
        { "app-gnome-org.example.Screen\\x2dRecorder-77.scope", "org.example.Screen-Recorder" },
        { "app-gnome-org.example.Screen\\x2DRecorder-A.scope", "org.example.Screen-Recorder" },
        { "app-gnome-org.example.App\\x2d-7.scope", "org.example.App-" },
        { "app-KDE-org.kde.spectacle@0f3c2d9b8e7a4c1d9e2f3a4b5c6d7e8f.service", "org.kde.spectacle" },
        { "app-org.kde.amarok.service", "org.kde.amarok" },
        { "app-gnome-org.gnome.Nautilus.service", "org.gnome.Nautilus" },
        { "snap.firefox.firefox-2c9ea2a0-1e6b-4a4e-9a57-4b3c1c2d3e4f.scope", "firefox_firefox" },
        { "snap.obs-studio.obs-studio-2c9ea2a0-1e6b-4a4e-9a57-4b3c1c2d3e4f.scope", "obs-studio_obs-studio" },
        { "snap.zoom-client.zoom-client.service", "zoom-client_zoom-client" },

        { "session-2.scope", std::nullopt },
        { "vte-spawn-5e2b1c0a-0d9e-4c1b-9a2f-3b4c5d6e7f80.scope", std::nullopt },
        { "dbus-:1.2-org.gnome.Nautilus@0.service", std::nullopt },
        { "app-gnome-org.gnome.Terminal.scope", std::nullopt },
        { "app-gnome-org.gnome.Terminal-.scope", std::nullopt },
        { "app-gnome-some-thing-1234.scope", std::nullopt },
        { "app--1234.scope", std::nullopt },
        { "app-org.example.Bad\\x2-1.scope", std::nullopt },
        { "app-org.example.Bad\\x00x-1.scope", std::nullopt },
        { "app-org.example.App@.service", std::nullopt },
        { "app-a-b-c.service", std::nullopt },
        { "snap.firefox.hook.configure-2c9ea2a0-1e6b-4a4e-9a57-4b3c1c2d3e4f.scope", std::nullopt },
        { "snap.firefox.firefox-notauuid.scope", std::nullopt },
        { "snap.firefox.firefox_2c9ea2a0-1e6b-4a4e-9a57-4b3c1c2d3e4f.scope", std::nullopt },
        { "snap.firefox.service", std::nullopt },
        { "snap..firefox.service", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& [unit, applicationId] : cases) {
        EXPECT_EQ(applicationIdFromCgroupPath(slice + unit), applicationId) << unit;
        EXPECT_EQ(applicationIdFromCgroupPath(unit), applicationId) << unit;
    }
}

TEST(CgroupApplicationId, CgroupFileTable)
{
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        { "0::/user.slice/app-gnome-org.gnome.Terminal-4242.scope\n",
          "/user.slice/app-gnome-org.gnome.Terminal-4242.scope" },
        { "12:pids:/user.slice/user-1000.slice\n3:cpu,cpuacct:/\n1:name=systemd:/user.slice/app-x-1.scope\n",
          "/user.slice/app-x-1.scope" },
        { "1:name=systemd:/v1/path\n0::/unified/path\n", "/unified/path" },
        { "0::/app.slice/dbus-:1.2-org.gnome.Foo@0.service\n", "/app.slice/dbus-:1.2-org.gnome.Foo@0.service" },
        { "0::/", "/" },
        { "12:pids:/only/controllers\n", std::nullopt },
        { "garbage without colons\n", std::nullopt },
        { "", std::nullopt },
    };
    for (const auto& [text, path] : cases)
        EXPECT_EQ(cgroupPathOf(text), path) << text;
}

}
}
