#pragma once

#include "ServiceOptions.h"

#include <httplib.h>

#include <string>

namespace tessaro {

// /status.json: the document, or the failure, that decides where tessaro-local goes first.
class StatusEndpoint {
public:
    // `port` is the one the service listens on: the default fallback site lives there too.
    StatusEndpoint(const ServiceOptions& options, int port);

    void answer(httplib::Response& response) const;

private:
    StatusMode mode;
    int customCode;
    std::string body;
};

}
