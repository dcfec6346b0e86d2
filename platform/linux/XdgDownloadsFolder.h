#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Files.h"

namespace tessaro {

// The user's Downloads folder as the desktop configures it: XDG_DOWNLOAD_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Downloads. The file is read anew on every
// lookup, so a folder the user moves is found at its new place; the folder is never
// created.
class XdgDownloadsFolder {
public:
    // The value of an environment variable, nothing when it is unset.
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    explicit XdgDownloadsFolder(Environment environment = processEnvironment);

    // The folder's path, or why there is no usable folder.
    PathOrError locate() const;

    static std::optional<std::string> processEnvironment(const std::string& name);

private:
    std::optional<std::string> homeFolder() const;

    Environment m_environment;
};

}
