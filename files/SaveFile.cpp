#include "files/SaveFile.h"

#include <variant>

#include "common/DiagnosticLine.h"
#include "common/PageMessenger.h"
#include "files/DownloadsFolder.h"
#include "files/FileName.h"
#include "platform/Files.h"
#include "platform/StandardOutput.h"
#include "platform/Url.h"

namespace tessaro {

SaveFile::SaveFile(Files& files, StandardOutput& output, PageMessenger& page)
    : m_files(files)
    , m_output(output)
    , m_page(page)
{
}

void SaveFile::saveFile(const std::string& fileName, const PageText& content)
{
    if (!isPlainFileName(fileName)) {
        m_output.writeLine(diagnosticLine("saveFile refused: \"" + fileName + "\" is not a plain file name"));
        return;
    }

    const auto stored = storeInDownloads(m_files, fileName, [this, &content](const std::string& destination) {
        return m_files.writeAtomically(destination, content);
    });
    if (const auto* error = std::get_if<FileError>(&stored)) {
        m_output.writeLine(diagnosticLine("saveFile failed: " + error->description));
        return;
    }
    m_page.sendPageMessage("fileSaved", url::fileAddress(std::get<std::string>(stored)));
}

}
