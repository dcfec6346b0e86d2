#pragma once

#include "platform/Resources.h"

namespace tessaro {

// Resources compiled into the binary, so none can go missing.
class CompiledResources final : public Resources {
public:
    std::string errorPageAddress() override;
};

}
