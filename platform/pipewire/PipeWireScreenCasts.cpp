#include "platform/pipewire/PipeWireScreenCasts.h"

#include <cstdlib>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <optional>

#include <pipewire/impl-module.h>
#include <pipewire/pipewire.h>

#include "platform/pipewire/ScreenCastGraph.h"

namespace tessaro {

namespace {

PipeWireProperties propertiesOf(const spa_dict* dict)
{
    PipeWireProperties properties;
    if (!dict)
        return properties;
    const spa_dict_item* item;
    spa_dict_for_each(item, dict)
    {
        if (item->key && item->value)
            properties[item->key] = item->value;
    }
    return properties;
}

std::optional<std::uint32_t> idFrom(const PipeWireProperties& properties, const std::string& key)
{
    const auto found = properties.find(key);
    if (found == properties.end())
        return std::nullopt;
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(found->second, &used);
        if (used != found->second.size() || value > UINT32_MAX)
            return std::nullopt;
        return static_cast<std::uint32_t>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// One look at the graph: the registry's globals, then the details of every node and link
// (the registry shows only some of their properties), each step ended by a core sync.
class GraphReader {
public:
    GraphReader(pw_loop* loop, pw_core* core)
        : m_loop(loop)
        , m_core(core)
    {
        static const pw_core_events coreEvents = [] {
            pw_core_events events {};
            events.version = PW_VERSION_CORE_EVENTS;
            events.done = [](void* data, std::uint32_t id, int seq) {
                auto* self = static_cast<GraphReader*>(data);
                if (id == PW_ID_CORE && seq == self->m_pendingSync)
                    self->m_synced = true;
            };
            events.error = [](void* data, std::uint32_t id, int, int, const char*) {
                // The connection itself failed (PipeWire went away): nothing can be told.
                if (id == PW_ID_CORE)
                    static_cast<GraphReader*>(data)->m_failed = true;
            };
            return events;
        }();
        pw_core_add_listener(m_core, &m_coreListener, &coreEvents, this);
    }

    ~GraphReader()
    {
        for (auto& bound : m_bound) {
            spa_hook_remove(&bound.listener);
            pw_proxy_destroy(bound.proxy);
        }
        if (m_registry) {
            spa_hook_remove(&m_registryListener);
            pw_proxy_destroy(reinterpret_cast<pw_proxy*>(m_registry));
        }
        spa_hook_remove(&m_coreListener);
    }

    GraphReader(const GraphReader&) = delete;
    GraphReader& operator=(const GraphReader&) = delete;

    std::optional<ScreenCastGraph> read(std::chrono::steady_clock::time_point deadline)
    {
        static const pw_registry_events registryEvents = [] {
            pw_registry_events events {};
            events.version = PW_VERSION_REGISTRY_EVENTS;
            events.global = [](void* data, std::uint32_t id, std::uint32_t, const char* type, std::uint32_t,
                               const spa_dict* props) { static_cast<GraphReader*>(data)->addGlobal(id, type, props); };
            return events;
        }();
        m_registry = pw_core_get_registry(m_core, PW_VERSION_REGISTRY, 0);
        if (!m_registry)
            return std::nullopt;
        pw_registry_add_listener(m_registry, &m_registryListener, &registryEvents, this);
        // The first sync ends the globals; the second the details asked for meanwhile.
        if (!sync(deadline) || !sync(deadline))
            return std::nullopt;
        for (const auto& [id, link] : m_links)
            m_graph.links.push_back(link);
        return m_graph;
    }

private:
    struct Bound {
        GraphReader* reader;
        std::uint32_t id;
        pw_proxy* proxy;
        spa_hook listener;
    };

    void addGlobal(std::uint32_t id, const char* type, const spa_dict* props)
    {
        if (!type)
            return;
        if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
            m_graph.nodes[id] = propertiesOf(props);
            static const pw_node_events nodeEvents = [] {
                pw_node_events events {};
                events.version = PW_VERSION_NODE_EVENTS;
                events.info = [](void* data, const pw_node_info* info) {
                    auto* bound = static_cast<Bound*>(data);
                    if (info && (info->change_mask & PW_NODE_CHANGE_MASK_PROPS))
                        bound->reader->m_graph.nodes[bound->id] = propertiesOf(info->props);
                };
                return events;
            }();
            if (auto* bound = bind(id, PW_TYPE_INTERFACE_Node, PW_VERSION_NODE))
                pw_proxy_add_object_listener(bound->proxy, &bound->listener, &nodeEvents, bound);
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Link) == 0) {
            const auto properties = propertiesOf(props);
            const auto output = idFrom(properties, PW_KEY_LINK_OUTPUT_NODE);
            const auto input = idFrom(properties, PW_KEY_LINK_INPUT_NODE);
            if (output && input)
                m_links[id] = { *output, *input };
            static const pw_link_events linkEvents = [] {
                pw_link_events events {};
                events.version = PW_VERSION_LINK_EVENTS;
                events.info = [](void* data, const pw_link_info* info) {
                    auto* bound = static_cast<Bound*>(data);
                    if (info)
                        bound->reader->m_links[bound->id] = { info->output_node_id, info->input_node_id };
                };
                return events;
            }();
            if (auto* bound = bind(id, PW_TYPE_INTERFACE_Link, PW_VERSION_LINK))
                pw_proxy_add_object_listener(bound->proxy, &bound->listener, &linkEvents, bound);
        }
    }

    Bound* bind(std::uint32_t id, const char* type, std::uint32_t version)
    {
        auto* proxy = static_cast<pw_proxy*>(pw_registry_bind(m_registry, id, type, version, 0));
        if (!proxy)
            return nullptr;
        return &m_bound.emplace_back(Bound { this, id, proxy, {} });
    }

    bool sync(std::chrono::steady_clock::time_point deadline)
    {
        m_synced = false;
        m_pendingSync = pw_core_sync(m_core, PW_ID_CORE, m_pendingSync);
        while (!m_synced && !m_failed) {
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pw_loop_iterate(m_loop, static_cast<int>(left.count()));
        }
        return !m_failed;
    }

    pw_loop* m_loop;
    pw_core* m_core;
    pw_registry* m_registry = nullptr;
    spa_hook m_coreListener {};
    spa_hook m_registryListener {};
    std::list<Bound> m_bound;
    std::map<std::uint32_t, ScreenCastGraph::Link> m_links;
    ScreenCastGraph m_graph;
    int m_pendingSync = 0;
    bool m_synced = false;
    bool m_failed = false;
};

struct LoopDeleter {
    void operator()(pw_loop* loop) const { pw_loop_destroy(loop); }
};
struct ContextDeleter {
    void operator()(pw_context* context) const { pw_context_destroy(context); }
};
struct CoreDeleter {
    void operator()(pw_core* core) const { pw_core_disconnect(core); }
};

}

PipeWireScreenCasts::PipeWireScreenCasts(std::chrono::milliseconds timeLimit)
    : m_timeLimit(timeLimit)
{
}

std::vector<std::string> PipeWireScreenCasts::activeScreenCasts()
{
    const auto deadline = std::chrono::steady_clock::now() + m_timeLimit;
    pw_init(nullptr, nullptr);
    // Without a configuration the library warns about what it does not set up (modules,
    // real-time threads); those are not our diagnostics. PIPEWIRE_DEBUG still asks for them.
    if (!std::getenv("PIPEWIRE_DEBUG"))
        pw_log_set_level(SPA_LOG_LEVEL_ERROR);
    std::unique_ptr<pw_loop, LoopDeleter> loop(pw_loop_new(nullptr));
    if (!loop)
        return {};
    // No configuration file: a machine with the PipeWire library but without its client
    // configuration can still be asked, and no module but the protocol is loaded.
    std::unique_ptr<pw_context, ContextDeleter> context(
        pw_context_new(loop.get(), pw_properties_new(PW_KEY_CONFIG_NAME, "null", nullptr), 0));
    if (!context || !pw_context_load_module(context.get(), "libpipewire-module-protocol-native", nullptr, nullptr))
        return {};
    std::unique_ptr<pw_core, CoreDeleter> core(pw_context_connect(context.get(), nullptr, 0));
    if (!core)
        return {};
    pw_loop_enter(loop.get());
    std::optional<ScreenCastGraph> graph;
    {
        GraphReader reader(loop.get(), core.get());
        graph = reader.read(deadline);
    }
    pw_loop_leave(loop.get());
    return graph ? screenCastApplications(*graph) : std::vector<std::string> {};
}

}
