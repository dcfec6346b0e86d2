#pragma once

namespace tessaro {

// Where no session bus runs, GLib starts one for the first program that asks (through
// dbus-launch, on X11), and that bus starts the accessibility bus and its registry: all
// three stay after the exam ends. This points the program, and the engine's processes
// after it, at the bus's usual place, where nothing answers until a bus runs there, and
// tells GTK there is no accessibility bus to reach. The program then runs as an instance
// of its own. A session bus that exists is left alone.
void preventBusAutolaunch();

}
