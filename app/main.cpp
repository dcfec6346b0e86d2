#include <cstdio>
#include <cstring>

#include "app/BuildProfile.h"
#include "app/MainInterface.h"
#include "platform/HostFactory.h"

using namespace tessaro;

int main(int argc, char** argv)
{
    const BuildProfile& profile = buildProfile();
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("Tessaro %s\n", profile.applicationVersion.c_str());
            return 0;
        }
        if (!std::strcmp(argv[i], "--help")) {
            std::printf("Usage: %s [tessaro://launch/EXAM-KEY]\n"
                        "Opens the exam in a locked full-screen window.\n",
                        argv[0]);
            return 0;
        }
    }
    auto host = makeHost(argc, argv, profile.applicationId, profile.applicationVersion);
    MainInterface interface(*host, profile.endpoints);
    return host->application().run(interface);
}
