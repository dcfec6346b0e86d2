#pragma once

#include <string>
#include <vector>

namespace tessaro {

class ScreenCasts {
public:
    virtual ~ScreenCasts() = default;
    // The applications that capture a screen at this moment, as the desktop names them
    // (untrusted text): the programs that receive a screen cast, or the one that offers
    // it when nothing receives it yet. None when the desktop cannot tell.
    virtual std::vector<std::string> activeScreenCasts() = 0;
};

}
