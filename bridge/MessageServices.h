#pragma once

namespace tessaro {

class Application;
class Downloads;
class PageMessenger;
class Pasteboard;
class RunningApplicationReport;
class SaveFile;
class StandardOutput;

// What the page's messages act on.
struct MessageServices {
    StandardOutput& output;
    Pasteboard& pasteboard;
    Application& application;
    PageMessenger& page;
    RunningApplicationReport& runningApplicationReport;
    SaveFile& saveFile;
    Downloads& downloads;
};

}
