#pragma once

#include <httplib.h>

#include "PatternBytes.h"
#include "ShutdownLatch.h"

namespace tessaro {

// The files under /files/ that pages ask tessaro-local to download: a small one, a large
// generated one, a missing one, a slow one and one the service marks as an attachment.
class DownloadEndpoints {
public:
    static constexpr uint64_t defaultLargeSize = 1024 * 1024;

    // `latch` ends the slow answer early when the service stops; it must outlive this object.
    explicit DownloadEndpoints(const ShutdownLatch& latch);

    void small(const httplib::Request& request, httplib::Response& response) const;
    void large(const httplib::Request& request, httplib::Response& response) const;
    void missing(const httplib::Request& request, httplib::Response& response) const;
    void slow(const httplib::Request& request, httplib::Response& response) const;
    void attachment(const httplib::Request& request, httplib::Response& response) const;

private:
    const ShutdownLatch& m_latch;
    PatternBytes m_pattern;
};

}
