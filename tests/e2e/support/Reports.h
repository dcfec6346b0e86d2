#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace tessaro::e2e {

inline bool isKind(const nlohmann::json& report, const std::string& kind)
{
    return report.value("kind", "") == kind;
}

}
