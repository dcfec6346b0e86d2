#pragma once

#include <utility>

#include <glib-object.h>

namespace tessaro {

// A callable handed to GLib as a callback's data: GLib deletes it together with the
// source or the signal connection that holds it, so nothing is freed by hand.
template <typename Callable> struct BoxedCallable {
    static gpointer box(Callable callable) { return new Callable(std::move(callable)); }
    static Callable& unbox(gpointer data) { return *static_cast<Callable*>(data); }
    static void release(gpointer data) { delete static_cast<Callable*>(data); }
    static gboolean runSource(gpointer data) { return unbox(data)() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE; }
};

// Runs `callable` from the main loop once nothing more urgent is pending, and again
// while it returns true. Safe to call from any thread.
template <typename Callable> void addIdle(Callable callable)
{
    using Boxed = BoxedCallable<Callable>;
    g_idle_add_full(G_PRIORITY_DEFAULT, &Boxed::runSource, Boxed::box(std::move(callable)), &Boxed::release);
}

// Runs `callable` from the main loop after `milliseconds`, and again after each further
// interval while it returns true.
template <typename Callable> void addTimeout(guint milliseconds, Callable callable)
{
    using Boxed = BoxedCallable<Callable>;
    g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds, &Boxed::runSource, Boxed::box(std::move(callable)),
                       &Boxed::release);
}

template <typename Signature> struct SignalHandler;
template <typename Return, typename... Arguments> struct SignalHandler<Return(Arguments...)> {
    template <typename Callable> static Return run(Arguments... arguments, gpointer data)
    {
        return BoxedCallable<Callable>::unbox(data)(arguments...);
    }
};

// Connects `callable`, called with the arguments of a signal of type `Signature`, to
// the instance's signal; it goes when the connection does (the instance ends).
template <typename Signature, typename Callable>
void connectCallable(gpointer instance, const char* signal, Callable callable)
{
    using Boxed = BoxedCallable<Callable>;
    g_signal_connect_data(
        instance, signal, G_CALLBACK((&SignalHandler<Signature>::template run<Callable>)),
        Boxed::box(std::move(callable)), [](gpointer data, GClosure*) { Boxed::release(data); }, GConnectFlags(0));
}

}
