#include "files/UploadChooser.h"

#include "platform/FileChooser.h"
#include "platform/WebView.h"

namespace tessaro {

UploadChooser::UploadChooser(FileChooser& fileChooser)
    : m_fileChooser(fileChooser)
{
}

void UploadChooser::showOpenPanel(std::shared_ptr<OpenPanelRequest> request)
{
    m_fileChooser.chooseOneFile(
        [request = std::move(request)](std::optional<std::string> path) { request->answer(std::move(path)); });
}

}
