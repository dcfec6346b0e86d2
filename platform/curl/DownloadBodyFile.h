#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// A file of our own in $TMPDIR (else /tmp), written through a large buffer and removed
// when this object goes, unless someone moved it away before.
class DownloadBodyFile {
public:
    DownloadBodyFile() = default;
    ~DownloadBodyFile();
    DownloadBodyFile(const DownloadBodyFile&) = delete;
    DownloadBodyFile& operator=(const DownloadBodyFile&) = delete;

    // Creates the empty file; says why when it cannot.
    std::optional<std::string> create();
    std::optional<std::string> append(std::string_view data);
    // Writes out what is buffered and closes the file; says why when that fails.
    std::optional<std::string> close();
    const std::string& path() const { return m_filePath; }

private:
    struct StreamClose {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };

    std::string m_filePath;
    std::vector<char> m_buffer;
    std::unique_ptr<std::FILE, StreamClose> m_stream;
};

}
