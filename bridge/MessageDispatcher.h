#pragma once

#include <string>

#include "common/MessageBody.h"

namespace tessaro {

class Application;
class Downloads;
class PageMessenger;
class Pasteboard;
class RunningApplicationReport;
class SaveFile;
class StandardOutput;

// Carries out the page's messages, one at a time, on the main thread. Every message
// first writes its name as a line; a command whose body does not fit is ignored, and
// the page is never told of a failure.
class MessageDispatcher {
public:
    MessageDispatcher(StandardOutput&, Pasteboard&, Application&, PageMessenger&, RunningApplicationReport&, SaveFile&,
                      Downloads&);

    void dispatch(const std::string& name, MessageBody body);

private:
    StandardOutput& m_output;
    Pasteboard& m_pasteboard;
    Application& m_application;
    PageMessenger& m_page;
    RunningApplicationReport& m_runningApplicationReport;
    SaveFile& m_saveFile;
    Downloads& m_downloads;
};

}
