#include "platform/wayland/DataControlSelections.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include <wayland-client.h>

#include "wlr-data-control-unstable-v1-client.h"

namespace tessaro {

namespace {

// Owns one proxy, destroyed once through its interface's own destructor.
template <auto destroy> struct ProxyDeleter {
    template <typename T> void operator()(T* proxy) const { destroy(proxy); }
};
template <typename T, auto destroy> using ProxyPtr = std::unique_ptr<T, ProxyDeleter<destroy>>;

// A seat bound here is released where the compositor lets a client say so, else it lives
// on in the compositor until the connection ends.
void releaseSeat(wl_seat* seat)
{
    if (wl_seat_get_version(seat) >= WL_SEAT_RELEASE_SINCE_VERSION) {
        wl_seat_release(seat);
    } else {
        wl_seat_destroy(seat);
    }
}

using EventQueuePtr = ProxyPtr<wl_event_queue, wl_event_queue_destroy>;
using DisplayWrapperPtr = ProxyPtr<void, wl_proxy_wrapper_destroy>;
using RegistryPtr = ProxyPtr<wl_registry, wl_registry_destroy>;
using SeatPtr = ProxyPtr<wl_seat, releaseSeat>;
using DevicePtr = ProxyPtr<zwlr_data_control_device_v1, zwlr_data_control_device_v1_destroy>;
using OfferPtr = ProxyPtr<zwlr_data_control_offer_v1, zwlr_data_control_offer_v1_destroy>;

struct Global {
    std::uint32_t name;
    std::uint32_t version;
};

// What the compositor announces that the emptying needs.
struct Globals {
    std::optional<Global> dataControl;
    std::vector<Global> seats;
};

void globalAnnounced(void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version)
{
    auto& globals = *static_cast<Globals*>(data);
    const std::string_view announced(interface);
    if (announced == zwlr_data_control_manager_v1_interface.name) {
        globals.dataControl = Global { name, version };
    } else if (announced == wl_seat_interface.name) {
        globals.seats.push_back({ name, version });
    }
}

void globalRemoved(void*, wl_registry*, std::uint32_t) { }

constexpr wl_registry_listener registryListener { globalAnnounced, globalRemoved };

Globals announcedGlobals(wl_display* display, wl_event_queue* queue, wl_registry* registry)
{
    Globals globals;
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip_queue(display, queue);
    return globals;
}

// Bound on the default queue, whatever queue the registry's answers came on.
template <typename T> T* bind(wl_registry* registry, const wl_interface& interface, const Global& global)
{
    const auto version = std::min<std::uint32_t>(global.version, interface.version);
    auto* proxy = static_cast<wl_proxy*>(wl_registry_bind(registry, global.name, &interface, version));
    wl_proxy_set_queue(proxy, nullptr);
    return reinterpret_cast<T*>(proxy);
}

}

// One seat's data-control device and the offers the compositor announces through it. An
// offer goes only when the next one replaces it: the compositor may name it until then,
// and an event naming an object the client has forgotten ends the whole connection. For
// the same reason the device lives as long as the connection may still be read.
class DataControlSelections::SeatDevice {
public:
    SeatDevice(zwlr_data_control_manager_v1* manager, wl_seat* seat)
        : m_seat(seat)
        , m_device(zwlr_data_control_manager_v1_get_data_device(manager, seat))
    {
        zwlr_data_control_device_v1_add_listener(m_device.get(), &listener, this);
    }

    void empty()
    {
        if (!m_device)
            return;
        zwlr_data_control_device_v1_set_selection(m_device.get(), nullptr);
        if (zwlr_data_control_device_v1_get_version(m_device.get())
            >= ZWLR_DATA_CONTROL_DEVICE_V1_SET_PRIMARY_SELECTION_SINCE_VERSION)
            zwlr_data_control_device_v1_set_primary_selection(m_device.get(), nullptr);
    }

private:
    // Each offer is owned from the event that names it a selection on.
    static void offerIntroduced(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) { }

    static void selectionChanged(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
    {
        replace(static_cast<SeatDevice*>(data)->m_selection, offer);
    }

    static void primarySelectionChanged(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
    {
        replace(static_cast<SeatDevice*>(data)->m_primarySelection, offer);
    }

    // The seat is gone: the compositor names none of the device's objects again.
    static void finished(void* data, zwlr_data_control_device_v1*)
    {
        auto& device = *static_cast<SeatDevice*>(data);
        device.m_selection.reset();
        device.m_primarySelection.reset();
        device.m_device.reset();
    }

    static void replace(OfferPtr& current, zwlr_data_control_offer_v1* offer)
    {
        if (current.get() != offer)
            current.reset(offer);
    }

    static constexpr zwlr_data_control_device_v1_listener listener { offerIntroduced, selectionChanged, finished,
                                                                     primarySelectionChanged };

    // Members go in reverse order: the offers, then the device, then its seat.
    SeatPtr m_seat;
    DevicePtr m_device;
    OfferPtr m_selection;
    OfferPtr m_primarySelection;
};

DataControlSelections::DataControlSelections(wl_display* display)
{
    // The registry's answers come on a queue of their own: the toolkit's events wait.
    const EventQueuePtr queue(wl_display_create_queue(display));
    const DisplayWrapperPtr wrapper(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(static_cast<wl_proxy*>(wrapper.get()), queue.get());
    const RegistryPtr registry(wl_display_get_registry(static_cast<wl_display*>(wrapper.get())));
    const Globals globals = announcedGlobals(display, queue.get(), registry.get());
    if (!globals.dataControl)
        return;
    m_manager = bind<zwlr_data_control_manager_v1>(registry.get(), zwlr_data_control_manager_v1_interface,
                                                   *globals.dataControl);
    for (const auto& seat : globals.seats) {
        wl_seat* bound = bind<wl_seat>(registry.get(), wl_seat_interface, seat);
        m_devices.push_back(std::make_unique<SeatDevice>(m_manager, bound));
    }
}

DataControlSelections::~DataControlSelections()
{
    m_devices.clear();
    if (m_manager)
        zwlr_data_control_manager_v1_destroy(m_manager);
}

void DataControlSelections::empty()
{
    for (const auto& device : m_devices)
        device->empty();
}

}
