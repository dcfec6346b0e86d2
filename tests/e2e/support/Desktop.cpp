#include "tests/e2e/support/Desktop.h"

#include "tests/e2e/support/MutterDesktop.h"
#include "tests/e2e/support/SwayDesktop.h"
#include "tests/e2e/support/X11Desktop.h"

namespace tessaro::e2e {

std::unique_ptr<Desktop> Desktop::start(DesktopKind kind, const std::string& folder, Screens screens)
{
    switch (kind) {
    case DesktopKind::sway:
        return std::make_unique<SwayDesktop>(folder, screens);
    case DesktopKind::mutter:
        return std::make_unique<MutterDesktop>(folder, screens);
    case DesktopKind::x11:
        break;
    }
    return std::make_unique<X11Desktop>(folder, screens);
}

std::string desktopName(DesktopKind kind)
{
    switch (kind) {
    case DesktopKind::sway:
        return "Sway";
    case DesktopKind::mutter:
        return "Mutter";
    case DesktopKind::x11:
        break;
    }
    return "X11";
}

}
