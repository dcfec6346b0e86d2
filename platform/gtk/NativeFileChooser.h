#pragma once

#include <functional>

#include "platform/FileChooser.h"

typedef struct _GtkWindow GtkWindow;

namespace tessaro {

// The desktop's own file chooser (a portal where there is one), transient for and
// modal over the exam window so it shows above the full-screen window.
class NativeFileChooser final : public FileChooser {
public:
    explicit NativeFileChooser(std::function<GtkWindow*()> examWindow);
    void chooseOneFile(std::function<void(std::optional<std::string> path)> completion) override;

private:
    std::function<GtkWindow*()> m_examWindow;
};

}
