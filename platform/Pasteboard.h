#pragma once

namespace tessaro {

// The desktop's clipboard. Emptying it leaves nothing to paste, anywhere.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    virtual void clearContents() = 0;
};

}
