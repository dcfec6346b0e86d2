#pragma once

#include <memory>

namespace tessaro {

class FileChooser;
class OpenPanelRequest;

// Answers a file input of the page: a new chooser for one file of any type, whatever
// the page asked for, and exactly one answer to the web view.
class UploadChooser {
public:
    explicit UploadChooser(FileChooser&);

    void showOpenPanel(std::shared_ptr<OpenPanelRequest> request);

private:
    FileChooser& m_fileChooser;
};

}
