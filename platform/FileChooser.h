#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tessaro {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // A new chooser, above the exam window, for exactly one file of any type. The
    // completion runs once on the main thread: the chosen file's path, or nothing.
    virtual void chooseOneFile(std::function<void(std::optional<std::string> path)> completion) = 0;
};

}
