#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "common/PageText.h"

namespace tessaro {

// A page message's body as a value tree; undefined and anything JSON cannot hold arrive
// as null. A text too long to read before it is needed, the whole body's or an
// object's member's, is read where it is used: the tree holds "" in its place.
struct MessageBody {
    MessageBody(nlohmann::json tree = nullptr) // NOLINT(google-explicit-constructor): a tree is a body
        : tree(std::move(tree))
    {
    }
    nlohmann::json tree;
    std::map<std::string, PageText> longTexts;
    // The body's own text when the body is one long text.
    PageText longText;
};

// How deeply a page message's arrays and objects may nest: deeper values would only be
// walked by recursion (writing a "log" line, for one), so they arrive as null.
constexpr int maximumMessageDepth = 256;

// A page message's body, from the JSON text the web view gives for it. Text that is not
// JSON, and values nested deeper than the program will ever walk, arrive as null.
nlohmann::json messageBodyFromJSON(std::string_view json);

}
