#include "window/UserAgent.h"

namespace tessaro {

std::string userAgent(const OperatingSystemVersion& version, const std::string& applicationVersion)
{
    return "Mozilla\\/5.0 (Macintosh; Intel Mac OS X " + std::to_string(version.majorVersion) + "_"
        + std::to_string(version.minorVersion) + "_" + std::to_string(version.patchVersion) + ") tessaro-macOS app "
        + applicationVersion + " AppleWebKit\\/605.1.15 (KHTML, like Gecko)";
}

}
