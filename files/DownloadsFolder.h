#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Files.h"

namespace tessaro {

// Puts one file into the Downloads folder under a plain name: the folder is looked up
// anew, and store writes or moves the file to the destination it is given. The
// destination when the file is there, otherwise why it is not.
PathOrError storeInDownloads(Files& files, const std::string& fileName,
                             const std::function<std::optional<FileError>(const std::string& destination)>& store);

}
