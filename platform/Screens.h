#pragma once

namespace tessaro {

class Screens {
public:
    virtual ~Screens() = default;
    // Attached screens, every kind counted.
    virtual int count() = 0;
    // Whether there is a screen to go full screen on.
    virtual bool hasMainScreen() = 0;
};

}
