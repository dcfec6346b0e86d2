#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace tessaro {

// A fresh folder per test, removed with everything in it when the test ends.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
        : m_path((parent / "tessaro-platform-XXXXXX").string())
    {
        if (::mkdtemp(m_path.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed in " + parent.string());
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    const std::string& path() const { return m_path; }
    std::string operator/(std::string_view relative) const { return m_path + "/" + std::string(relative); }

    // Writes a file below the folder, making the folders on the way.
    void write(std::string_view relative, std::string_view content) const
    {
        std::filesystem::create_directories(std::filesystem::path(*this / relative).parent_path());
        std::ofstream(*this / relative, std::ios::binary) << content;
    }
    void makeFolder(std::string_view relative) const { std::filesystem::create_directories(*this / relative); }

    // The names in the folder.
    std::set<std::string> entries() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    std::string m_path;
};

// Bytes in a pattern that repeats every 64,256 bytes: a piece lost, doubled or moved shows.
inline std::string patternBytes(std::size_t count)
{
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

inline std::string fileContent(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), {} };
}

}
