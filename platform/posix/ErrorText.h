#pragma once

#include <string>

namespace tessaro {

// The system's description of an errno value ("File exists"), safe from any thread.
std::string errorText(int errorNumber);

}
