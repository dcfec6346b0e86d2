#pragma once

#include <string>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

#include "platform/RunningApplications.h"

namespace tessaro {

// The user's processes (or every process of the machine) as /proc shows them, in the
// order they were started. Each is named by its process name and identified by its
// desktop application ID, where its systemd unit tells one, else by its executable's
// file name.
class ProcRunningApplications final : public RunningApplications {
public:
    explicit ProcRunningApplications(std::string procRoot = "/proc", uid_t uid = getuid());

    std::vector<RunningApplication> runningApplications() override;
    std::vector<RunningApplication> everyProcess() override;

private:
    enum class Owners { user, everyone };
    std::vector<RunningApplication> list(Owners owners);

    std::string m_procRoot;
    uid_t m_uid;
};

}
