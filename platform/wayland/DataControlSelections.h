#pragma once

#include <memory>
#include <vector>

struct wl_display;
struct zwlr_data_control_manager_v1;

namespace tessaro {

// The selections of every seat through the data-control protocol, which KWin and
// wlroots' compositors offer to any client: unlike a toolkit's selection change it needs
// no input event's serial, so an emptying holds before the window is shown and after it
// lost the focus. Its objects live on the connection's default queue, dispatched by the
// toolkit's main loop, for as long as this does; where the compositor offers no data
// control (mutter) it holds nothing and does nothing.
class DataControlSelections {
public:
    explicit DataControlSelections(wl_display* display);
    ~DataControlSelections();
    DataControlSelections(const DataControlSelections&) = delete;
    DataControlSelections& operator=(const DataControlSelections&) = delete;

    // Asks for the clipboard and the primary selection to be emptied; the compositor has
    // done it once it answers the connection's next round trip.
    void empty();

private:
    class SeatDevice;

    zwlr_data_control_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<SeatDevice>> m_devices;
};

}
