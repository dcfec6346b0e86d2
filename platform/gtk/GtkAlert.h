#pragma once

#include "platform/Alert.h"

typedef struct _GMainLoop GMainLoop;

namespace tessaro {

class GtkTimers;

// A modal message dialog in a main loop of its own; the program's timers are held while
// it is up.
class GtkAlert final : public Alert {
public:
    explicit GtkAlert(GtkTimers& timers);
    void runModal(const AlertContent& content) override;
    // Ends the alert that is up, as its button would; nothing when none is.
    void dismiss();

private:
    GtkTimers& m_timers;
    GMainLoop* m_loop = nullptr;
};

}
