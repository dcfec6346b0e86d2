#pragma once

#include <glib-object.h>
#include <utility>

namespace tessaro {

// Owns one reference to a GObject: unreffed once, when the owner goes.
template <typename T> class GObjectPtr {
public:
    GObjectPtr() = default;
    // Takes over a reference the caller owns (a "transfer full" result).
    static GObjectPtr adopt(T* object) { return GObjectPtr(object); }
    // Adds a reference of its own.
    static GObjectPtr retain(T* object) { return GObjectPtr(object ? static_cast<T*>(g_object_ref(object)) : nullptr); }

    GObjectPtr(GObjectPtr&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {
    }
    GObjectPtr& operator=(GObjectPtr&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_object, nullptr));
        return *this;
    }
    GObjectPtr(const GObjectPtr&) = delete;
    GObjectPtr& operator=(const GObjectPtr&) = delete;
    ~GObjectPtr() { reset(nullptr); }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object; }

private:
    explicit GObjectPtr(T* object)
        : m_object(object)
    {
    }
    void reset(T* object)
    {
        if (m_object)
            g_object_unref(m_object);
        m_object = object;
    }

    T* m_object = nullptr;
};

}
