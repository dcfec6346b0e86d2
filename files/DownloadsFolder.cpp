#include "files/DownloadsFolder.h"

namespace tessaro {

PathOrError storeInDownloads(Files& files, const std::string& fileName,
                             const std::function<std::optional<FileError>(const std::string& destination)>& store)
{
    const auto folder = files.downloadsFolder();
    if (const auto* error = std::get_if<FileError>(&folder))
        return *error;
    std::string destination = std::get<std::string>(folder) + "/" + fileName;
    if (auto error = store(destination))
        return std::move(*error);
    return destination;
}

}
