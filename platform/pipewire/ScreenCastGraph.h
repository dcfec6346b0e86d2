#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessaro {

using PipeWireProperties = std::map<std::string, std::string>;

// PipeWire's media graph as far as screen casts show in it: the nodes by ID with their
// properties, and which node feeds which.
struct ScreenCastGraph {
    struct Link {
        std::uint32_t outputNode;
        std::uint32_t inputNode;
    };
    std::map<std::uint32_t, PipeWireProperties> nodes;
    std::vector<Link> links;
};

// Whether a node is a video source made for a screen cast (by the desktop portal or the
// compositor) rather than a camera.
bool isScreenCastSource(const PipeWireProperties& node);

// For each screen-cast source, in ID order: the applications of the nodes that receive
// it, or the source's own application when nothing receives it yet.
std::vector<std::string> screenCastApplications(const ScreenCastGraph& graph);

}
