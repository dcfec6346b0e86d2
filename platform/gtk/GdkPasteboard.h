#pragma once

#include "platform/Pasteboard.h"

namespace tessaro {

// Both X selections count: what was copied (CLIPBOARD) and what was last selected
// (PRIMARY, pasted with the middle button).
class GdkPasteboard final : public Pasteboard {
public:
    void clearContents() override;
};

}
