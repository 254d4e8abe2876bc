#include "GdiRegistry.h"

#include "HandleCounter.h"

#include <new>

namespace oivwin32 {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

std::unique_ptr<GdiObject> makeBrush(COLORREF colour, bool stock) {
    auto brush = std::make_unique<GdiObject>();
    brush->kind = GdiObject::Kind::Brush;
    brush->colour = colour;
    brush->stock = stock;
    return brush;
}

// Null when the pixels cannot be allocated.
std::unique_ptr<GdiObject> makeBitmap(const DibFormat& format, bool section) {
    auto bitmap = std::make_unique<GdiObject>();
    try {
        bitmap->bits.assign(format.imageSize(), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bitmap->format = format;
    bitmap->section = section;
    return bitmap;
}

} // namespace

GdiRegistry& GdiRegistry::instance() {
    static GdiRegistry registry;
    return registry;
}

GdiRegistry::GdiRegistry() {
    std::vector<RGBQUAD> monochrome{RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    auto bitmap = makeBitmap(*DibFormat::make(1, 1, false, 1, monochrome), false);
    bitmap->stock = true;
    stockBitmap_ = addObject(std::move(bitmap));
    stockBrush_ = addObject(makeBrush(kWhite, true));
}

GdiObject* GdiRegistry::findObject(HGDIOBJ handle) {
    auto found = objects_.find(HandleCounter::toValue(handle));
    return found == objects_.end() ? nullptr : found->second.get();
}

GdiObject* GdiRegistry::findBitmap(HGDIOBJ handle) {
    GdiObject* object = findObject(handle);
    return object && object->kind == GdiObject::Kind::Bitmap ? object : nullptr;
}

DeviceContext* GdiRegistry::findDC(HDC dc) {
    auto found = contexts_.find(HandleCounter::toValue(dc));
    return found == contexts_.end() ? nullptr : &found->second;
}

HGDIOBJ GdiRegistry::addObject(std::unique_ptr<GdiObject> object) {
    uint64_t value = HandleCounter::next();
    objects_[value] = std::move(object);
    return HandleCounter::toHandle<HGDIOBJ>(value);
}

HGDIOBJ GdiRegistry::addBitmap(const DibFormat& format, bool section) {
    std::unique_ptr<GdiObject> bitmap = makeBitmap(format, section);
    return bitmap ? addObject(std::move(bitmap)) : nullptr;
}

HGDIOBJ GdiRegistry::addBrush(COLORREF colour) {
    return addObject(makeBrush(colour, false));
}

HDC GdiRegistry::addDC(const DeviceContext& context) {
    uint64_t value = HandleCounter::next();
    contexts_[value] = context;
    return HandleCounter::toHandle<HDC>(value);
}

bool GdiRegistry::deleteObject(HGDIOBJ handle) {
    GdiObject* object = findObject(handle);
    if (!object)
        return false;
    if (object->stock)
        return true; // deleting a stock object is harmless, as in Win32
    if (object->selectedInto)
        object->deletePending = true;
    else
        objects_.erase(HandleCounter::toValue(handle));
    return true;
}

void GdiRegistry::deselect(HGDIOBJ handle) {
    GdiObject* object = findObject(handle);
    if (!object)
        return;
    object->selectedInto = nullptr;
    if (object->deletePending)
        objects_.erase(HandleCounter::toValue(handle));
}

void GdiRegistry::deleteDC(HDC dc) {
    DeviceContext* context = findDC(dc);
    if (!context)
        return;
    deselect(context->bitmap);
    contexts_.erase(HandleCounter::toValue(dc));
}

void GdiRegistry::selectBitmap(HDC dc, DeviceContext& context, HGDIOBJ bitmap) {
    deselect(context.bitmap);
    context.bitmap = bitmap;
    if (GdiObject* object = findObject(bitmap); object && !object->stock)
        object->selectedInto = dc;
}

HGDIOBJ GdiRegistry::systemBrush(int index, COLORREF colour) {
    auto found = systemBrushes_.find(index);
    if (found != systemBrushes_.end())
        return found->second;
    HGDIOBJ brush = addObject(makeBrush(colour, true));
    systemBrushes_[index] = brush;
    return brush;
}

HGDIOBJ GdiRegistry::windowSurface(HWND hwnd, SIZE size) {
    uint64_t key = HandleCounter::toValue(hwnd);
    auto found = windowSurfaces_.find(key);
    if (found != windowSurfaces_.end()) {
        GdiObject* surface = findBitmap(found->second);
        if (surface && surface->format->width() == size.cx && surface->format->height() == size.cy)
            return found->second;
        deleteObject(found->second);
        windowSurfaces_.erase(found);
    }
    // A window of zero size still gets one pixel, so a DC always has something to draw on.
    auto format =
        DibFormat::make(size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1, true, 32, {});
    if (!format)
        return nullptr;
    HGDIOBJ surface = addBitmap(*format, true);
    if (surface)
        windowSurfaces_[key] = surface;
    return surface;
}

void GdiRegistry::releaseWindow(HWND hwnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = windowSurfaces_.find(HandleCounter::toValue(hwnd));
    if (found == windowSurfaces_.end())
        return;
    deleteObject(found->second);
    windowSurfaces_.erase(found);
}

} // namespace oivwin32
