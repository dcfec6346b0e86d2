#pragma once

#include <string>

namespace tessaro {

class Resources {
public:
    virtual ~Resources() = default;
    // The address under which the web view loads the local error page.
    virtual std::string errorPageAddress() = 0;
};

}
