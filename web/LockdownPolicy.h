#pragma once

#include "platform/WebView.h"

namespace tessaro {

class StandardOutput;

// What the exam page may do beyond showing itself: ask the student for the camera or
// the microphone, nothing else. It never saves a file behind the student's back (saving
// is the bridge's job), never prints and never shows a context menu.
class LockdownPolicy final : public WebViewPolicy {
public:
    explicit LockdownPolicy(StandardOutput&);

    PermissionAnswer permissionRequested(PermissionKind kind) override;
    bool shouldShowResponse(const PageResponse& response) override;
    bool shouldDownload(const std::string& address) override;
    bool shouldPrint() override;
    bool shouldShowContextMenu() override;

private:
    void refuseSaving(const std::string& address);

    StandardOutput& m_output;
};

}
