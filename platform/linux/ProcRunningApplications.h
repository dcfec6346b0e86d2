#pragma once

#include <string>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

#include "platform/RunningApplications.h"

namespace tessaro {

// The user's processes as /proc shows them, in the order they were started. Each is
// named by its process name and identified by its desktop application ID, where its
// systemd unit tells one, else by its executable's file name.
class ProcRunningApplications final : public RunningApplications {
public:
    explicit ProcRunningApplications(std::string procRoot = "/proc", uid_t uid = getuid());

    std::vector<RunningApplication> runningApplications() override;

private:
    std::string m_procRoot;
    uid_t m_uid;
};

}
