#pragma once

#include <memory>

#include <glib.h>

namespace tessaro {

// Owns a string GLib hands over (a "transfer full" result): freed once, with g_free.
struct GFreeDeleter {
    void operator()(void* pointer) const { g_free(pointer); }
};
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

// Owns one reference to a reference-counted value that is not a GObject (GBytes, GUri,
// GMainLoop, a WebKit boxed type), released once through the type's own unref function.
template <auto unref> struct GUnrefDeleter {
    template <typename T> void operator()(T* value) const { unref(value); }
};
template <typename T, auto unref> using GRefPtr = std::unique_ptr<T, GUnrefDeleter<unref>>;

}
