#include "web/LaunchAddress.h"

#include "platform/Url.h"

namespace tessaro {

std::string launchAddress(std::string_view routing, std::string_view fallbackDomain, std::string_view launchPageURL,
                          std::string_view examKey)
{
    if (routing == "fallback")
        return std::string(fallbackDomain) + "/init";
    return std::string(launchPageURL) + "?examkey=" + url::encodeQueryValue(examKey);
}

}
