#include "platform/pipewire/ScreenCastGraph.h"

#include <algorithm>

namespace tessaro {

namespace {

std::string property(const PipeWireProperties& node, const std::string& key)
{
    const auto found = node.find(key);
    return found == node.end() ? std::string() : found->second;
}

std::string applicationOf(std::uint32_t id, const PipeWireProperties& node)
{
    for (const char* key : { "application.name", "node.description", "node.name" }) {
        const std::string value = property(node, key);
        if (!value.empty())
            return value;
    }
    return "PipeWire node " + std::to_string(id);
}

}

bool isScreenCastSource(const PipeWireProperties& node)
{
    if (property(node, "media.class") != "Video/Source")
        return false;
    const std::string role = property(node, "media.role");
    if (role == "Screen")
        return true;
    // A camera is what a device monitor (V4L2, libcamera) made, or what says it is one;
    // the exam page may use it.
    const std::string api = property(node, "device.api");
    const bool camera = role == "Camera" || api == "v4l2" || api == "libcamera" || node.contains("device.id");
    return !camera;
}

std::vector<std::string> screenCastApplications(const ScreenCastGraph& graph)
{
    std::vector<std::string> applications;
    for (const auto& [id, node] : graph.nodes) {
        if (!isScreenCastSource(node))
            continue;
        std::vector<std::string> receivers;
        for (const auto& link : graph.links) {
            if (link.outputNode != id)
                continue;
            const auto receiver = graph.nodes.find(link.inputNode);
            const std::string name = receiver == graph.nodes.end() ? applicationOf(link.inputNode, {})
                                                                   : applicationOf(link.inputNode, receiver->second);
            if (std::find(receivers.begin(), receivers.end(), name) == receivers.end())
                receivers.push_back(name);
        }
        if (receivers.empty())
            receivers.push_back(applicationOf(id, node));
        applications.insert(applications.end(), receivers.begin(), receivers.end());
    }
    return applications;
}

}
