#pragma once

#include <string>

#include "common/PageText.h"

namespace tessaro {

class PageMessenger;
class Files;
class StandardOutput;

// Saves text from the page as a file in the Downloads folder, replacing a file of the
// same name in one step, and answers with the file's address.
class SaveFile {
public:
    SaveFile(Files&, StandardOutput&, PageMessenger&);

    void saveFile(const std::string& fileName, const PageText& content);

private:
    Files& m_files;
    StandardOutput& m_output;
    PageMessenger& m_page;
};

}
