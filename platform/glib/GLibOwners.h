#pragma once

#include <memory>

#include <glib-object.h>

namespace tessaro {

// Owns a string GLib hands over (a "transfer full" result): freed once, with g_free.
struct GFreeDeleter {
    void operator()(void* pointer) const { g_free(pointer); }
};
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

// Owns one reference to a reference-counted value (GBytes, GUri, GMainLoop, a WebKit
// boxed type), released once through the type's own unref function. Constructed from a
// reference the caller owns (a "transfer full" result).
template <auto unref> struct GUnrefDeleter {
    template <typename T> void operator()(T* value) const { unref(value); }
};
template <typename T, auto unref> using GRefPtr = std::unique_ptr<T, GUnrefDeleter<unref>>;

// Owns one reference to a GObject.
template <typename T> using GObjectPtr = GRefPtr<T, g_object_unref>;

// A reference of its own to an object someone else holds.
template <typename T> GObjectPtr<T> retainObject(T* object)
{
    return GObjectPtr<T>(object ? static_cast<T*>(g_object_ref(object)) : nullptr);
}

}
