#pragma once

#include "platform/Alert.h"

namespace tessaro {

class GtkTimers;

// A modal message dialog in a main loop of its own; the program's timers are held while
// it is up.
class GtkAlert final : public Alert {
public:
    explicit GtkAlert(GtkTimers& timers);
    void runModal(const AlertContent& content) override;

private:
    GtkTimers& m_timers;
};

}
