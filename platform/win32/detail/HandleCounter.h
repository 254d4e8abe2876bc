// Handle values of the Win32 subset.
//
// Every handle of every kind (windows, device contexts, GDI objects, modules, icons) comes from
// one counter that only grows: a handle is never reused once its object is gone, and the handle
// of one kind of object is never a live handle of another kind. Handles are looked up in tables,
// never dereferenced.
#ifndef OIVWINTAV_WIN32_DETAIL_HANDLECOUNTER_H
#define OIVWINTAV_WIN32_DETAIL_HANDLECOUNTER_H

#include <cstdint>

namespace oivwin32 {

class HandleCounter {
public:
    // A value never handed out before; above 0xFFFF, so it can never look like an integer
    // resource or an atom.
    static uint64_t next();

    template <class Handle> static Handle toHandle(uint64_t value) {
        return reinterpret_cast<Handle>(static_cast<uintptr_t>(value));
    }
    template <class Handle> static uint64_t toValue(Handle handle) {
        return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
    }
};

} // namespace oivwin32

#endif
