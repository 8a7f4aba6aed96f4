#pragma once

#include <QPointer>

namespace runtime {

// The single instance of a window, made on first use. A window that is unloaded (closed, and so
// deleted) empties its slot; the next use makes a fresh one with its stored properties.
template <class Window> Window &defaultInstance()
{
    static QPointer<Window> slot;
    if (!slot)
        slot = new Window;
    return *slot;
}

} // namespace runtime
