#pragma once

#include <string>

#include <httplib.h>

#include "ServiceOptions.h"

namespace tessaro {

// /status.json: the document, or the failure, that decides where tessaro-local goes first.
class StatusEndpoint {
public:
    // `port` is the one the service listens on: the default fallback site lives there too.
    StatusEndpoint(const ServiceOptions& options, int port);

    void answer(httplib::Response& response) const;

private:
    StatusMode m_mode;
    int m_customCode;
    std::string m_body;
};

}
