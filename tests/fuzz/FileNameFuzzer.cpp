// A file name from the page, for saveFile and download: an accepted name always makes
// a file directly inside the Downloads folder, and the address the page is told names
// that file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/FileName.h"
#include "platform/Url.h"
#include "tests/fuzz/Invariant.h"

namespace tessaro::fuzzing {
namespace {

const std::filesystem::path downloadsFolder = "/home/student/Downloads";
const std::string downloadsAddress = "file:///home/student/Downloads/";

void checkName(std::string_view name)
{
    if (!isPlainFileName(name))
        return;
    const std::string destination = downloadsFolder.string() + "/" + std::string(name);
    const auto normal = std::filesystem::path(destination).lexically_normal();
    require(normal.parent_path() == downloadsFolder, "an accepted name stays directly inside Downloads");
    require(normal.filename() == std::filesystem::path(std::string(name)), "an accepted name is the file's whole name");

    const std::string address = url::fileAddress(destination);
    require(address.starts_with(downloadsAddress), "the saved file's address is inside Downloads");
    require(address.find('/', downloadsAddress.size()) == std::string::npos
                && address.find_first_of("?#", downloadsAddress.size()) == std::string::npos,
            "the saved file's address names a file directly inside Downloads");
}

}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tessaro::fuzzing::checkName(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
