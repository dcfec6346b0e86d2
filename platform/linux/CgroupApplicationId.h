#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

// The process's cgroup path from /proc/PID/cgroup: the unified (v2) hierarchy's line,
// else systemd's own v1 hierarchy.
std::optional<std::string> cgroupPathOf(std::string_view cgroupText);

// The desktop application ID that the launcher put into the name of the systemd unit
// at the end of a cgroup path: app[-<launcher>]-<ID>-<RANDOM>.scope,
// app[-<launcher>]-<ID>[@<RANDOM>].service (the ID unescaped), or a Snap's
// snap.<snap>.<app>-<UUID>.scope and snap.<snap>.<app>.service (as <snap>_<app>, the
// snap's desktop file ID). Nothing for any other unit.
std::optional<std::string> applicationIdFromCgroupPath(std::string_view cgroupPath);

}
