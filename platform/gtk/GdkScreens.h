#pragma once

#include "platform/Screens.h"

namespace tessaro {

class GdkScreens final : public Screens {
public:
    int count() override;
    bool hasMainScreen() override;
};

}
