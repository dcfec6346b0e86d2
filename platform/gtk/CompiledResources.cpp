#include "platform/gtk/CompiledResources.h"

namespace tessaro {

std::string CompiledResources::errorPageAddress()
{
    return "resource:///org/tessaro/Tessaro/error.html";
}

}
