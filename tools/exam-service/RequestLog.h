#pragma once

#include <httplib.h>

#include <fstream>
#include <mutex>
#include <string>

namespace tessaro {

// What the end-to-end tests read to learn what tessaro-local and its pages asked for: one
// JSON object per request and line, flushed at once, so a test sees a request as soon as the
// answer to it has started.
class RequestLog {
public:
    // Bodies longer than this are cut: the log is for reading, not for file transfers.
    static constexpr size_t longestBody = 64 * 1024;

    // Appends to `path`, creating it when needed; isOpen() tells whether that worked.
    explicit RequestLog(const std::string& path);

    bool isOpen() const { return m_file.is_open() && m_file.good(); }
    void record(const httplib::Request& request);

    // The line for one request, without its newline.
    static std::string describe(const httplib::Request& request);

private:
    std::mutex m_mutex;
    std::ofstream m_file;
};

}
