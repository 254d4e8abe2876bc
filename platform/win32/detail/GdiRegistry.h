// The per-process table of GDI objects (bitmaps, brushes) and device contexts.
//
// Like the window table, all access goes through `locked`; handles come from HandleCounter, so
// a deleted object's handle stays invalid.
#ifndef OIVWINTAV_WIN32_DETAIL_GDIREGISTRY_H
#define OIVWINTAV_WIN32_DETAIL_GDIREGISTRY_H

#include "GdiObject.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>

namespace oivwin32 {

class GdiRegistry {
public:
    static GdiRegistry& instance();

    GdiRegistry(const GdiRegistry&) = delete;
    GdiRegistry& operator=(const GdiRegistry&) = delete;

    template <class F> auto locked(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(*this);
    }

    // Drops the drawing surface of a destroyed window.
    void releaseWindow(HWND hwnd);

    // The functions below expect the lock to be held.

    GdiObject* findObject(HGDIOBJ handle);
    GdiObject* findBitmap(HGDIOBJ handle);
    DeviceContext* findDC(HDC dc);
    HGDIOBJ addObject(std::unique_ptr<GdiObject> object);
    // A bitmap of `format` with all bits 0; null when its pixels cannot be allocated.
    HGDIOBJ addBitmap(const DibFormat& format, bool section);
    HGDIOBJ addBrush(COLORREF colour);
    HDC addDC(const DeviceContext& context);
    // Deletes the object, or marks it for deletion while it is selected. False for a handle that
    // is not a live object.
    bool deleteObject(HGDIOBJ handle);
    // Deselects whatever `dc` holds and forgets it.
    void deleteDC(HDC dc);
    // Makes `bitmap` the selected bitmap of `context` (handle `dc`), deselecting the previous one.
    void selectBitmap(HDC dc, DeviceContext& context, HGDIOBJ bitmap);
    // The 1x1 monochrome bitmap every memory DC starts with, and the white default brush.
    HGDIOBJ stockBitmap() const { return stockBitmap_; }
    HGDIOBJ stockBrush() const { return stockBrush_; }
    // One brush per system colour index, made on first use and never deleted.
    HGDIOBJ systemBrush(int index, COLORREF colour);
    // The window's 32-bit drawing surface at the given size, made anew when the size changed.
    HGDIOBJ windowSurface(HWND hwnd, SIZE size);

private:
    GdiRegistry();
    // Frees `handle` from its device context, and deletes it when a deletion waited for that.
    void deselect(HGDIOBJ handle);

    std::mutex mutex_;
    std::map<uint64_t, std::unique_ptr<GdiObject>> objects_;
    std::map<uint64_t, DeviceContext> contexts_;
    std::map<int, HGDIOBJ> systemBrushes_;
    std::map<uint64_t, HGDIOBJ> windowSurfaces_;
    HGDIOBJ stockBitmap_ = nullptr;
    HGDIOBJ stockBrush_ = nullptr;
};

} // namespace oivwin32

#endif
