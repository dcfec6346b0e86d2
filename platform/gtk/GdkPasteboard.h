#pragma once

#include <memory>

#include "platform/Pasteboard.h"

namespace tessaro {

class DataControlSelections;

// Both X selections count: what was copied (CLIPBOARD) and what was last selected
// (PRIMARY, pasted with the middle button).
class GdkPasteboard final : public Pasteboard {
public:
    GdkPasteboard();
    ~GdkPasteboard() override;
    GdkPasteboard(const GdkPasteboard&) = delete;
    GdkPasteboard& operator=(const GdkPasteboard&) = delete;

    void clearContents() override;

private:
    // On Wayland, from the first emptying on.
    std::unique_ptr<DataControlSelections> m_dataControl;
};

}
