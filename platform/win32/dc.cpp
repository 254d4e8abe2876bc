// Device contexts: memory DCs with a resolution, window DCs and the screen DC.
#include "detail/GdiRegistry.h"
#include "detail/WindowRegistry.h"

#include <oivwin32.h>
#include <windows.h>

using oivwin32::DeviceContext;
using oivwin32::GdiObject;
using oivwin32::GdiRegistry;

namespace {

constexpr int kScreenDotsPerInch = 96;
constexpr int kMaxDotsPerInch = 10000;
// The screen a GetDC(NULL) stands for; there is no real one.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kScreenBitsPerPixel = 32;

HDC createMemoryDC(int dotsPerInch) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) {
        DeviceContext context;
        context.dotsPerInch = dotsPerInch;
        context.brush = registry.stockBrush();
        HDC dc = registry.addDC(context);
        registry.selectBitmap(dc, *registry.findDC(dc), registry.stockBitmap());
        return dc;
    });
}

int bitmapCaps(GdiRegistry& registry, const DeviceContext& context, int index) {
    if (context.screen)
        return index == HORZRES   ? kScreenWidth
               : index == VERTRES ? kScreenHeight
                                  : kScreenBitsPerPixel;
    GdiObject* bitmap = registry.findBitmap(context.bitmap);
    if (!bitmap)
        return 0;
    switch (index) {
    case HORZRES:
        return bitmap->format->width();
    case VERTRES:
        return bitmap->format->height();
    default:
        return bitmap->format->bitCount();
    }
}

} // namespace

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC dc) {
    int dotsPerInch = kScreenDotsPerInch;
    if (dc) {
        bool live = GdiRegistry::instance().locked([&](GdiRegistry& registry) {
            DeviceContext* context = registry.findDC(dc);
            if (context)
                dotsPerInch = context->dotsPerInch;
            return context != nullptr;
        });
        if (!live) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    }
    return createMemoryDC(dotsPerInch);
}

HDC WINAPI OivWin32CreatePrinterDC(int dotsPerInch) {
    if (dotsPerInch < 1 || dotsPerInch > kMaxDotsPerInch) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return createMemoryDC(dotsPerInch);
}

BOOL WINAPI DeleteDC(HDC dc) {
    return GdiRegistry::instance().locked([dc](GdiRegistry& registry) {
        if (!registry.findDC(dc))
            return FALSE;
        registry.deleteDC(dc);
        return TRUE;
    });
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) {
        DeviceContext* context = registry.findDC(dc);
        if (!context)
            return 0;
        switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return context->dotsPerInch;
        case PLANES:
            return 1;
        case HORZRES:
        case VERTRES:
        case BITSPIXEL:
            return bitmapCaps(registry, *context, index);
        default:
            return 0;
        }
    });
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) -> HGDIOBJ {
        DeviceContext* context = registry.findDC(dc);
        GdiObject* selected = registry.findObject(object);
        if (!context || !selected || selected->deletePending) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        if (selected->kind == GdiObject::Kind::Brush) {
            HGDIOBJ previous = context->brush;
            context->brush = object;
            return previous;
        }
        // Only memory DCs take bitmaps, and a bitmap lives in one DC at a time.
        if (context->window || context->screen ||
            (selected->selectedInto && selected->selectedInto != dc))
            return nullptr;
        HGDIOBJ previous = context->bitmap;
        registry.selectBitmap(dc, *context, object);
        return previous;
    });
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) -> HGDIOBJ {
        DeviceContext* context = registry.findDC(dc);
        if (!context)
            return nullptr;
        switch (type) {
        case OBJ_BITMAP:
            return context->screen ? nullptr : context->bitmap;
        case OBJ_BRUSH:
            return context->brush;
        default:
            return nullptr;
        }
    });
}

HDC WINAPI GetDC(HWND hwnd) {
    SIZE size{0, 0};
    if (hwnd && !oivwin32::WindowRegistry::withWindow(
                    hwnd, false, [&](oivwin32::WindowRecord& w, oivwin32::WindowRegistry&) {
                        size = w.size;
                        return true;
                    }))
        return nullptr;
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) -> HDC {
        DeviceContext context;
        context.brush = registry.stockBrush();
        context.window = hwnd;
        context.screen = hwnd == nullptr;
        HGDIOBJ surface = hwnd ? registry.windowSurface(hwnd, size) : nullptr;
        if (hwnd && !surface)
            return nullptr;
        HDC dc = registry.addDC(context);
        if (surface)
            registry.selectBitmap(dc, *registry.findDC(dc), surface);
        return dc;
    });
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    return GdiRegistry::instance().locked([&](GdiRegistry& registry) {
        DeviceContext* context = registry.findDC(dc);
        if (!context || (!context->window && !context->screen) || context->window != hwnd)
            return 0;
        registry.deleteDC(dc);
        return 1;
    });
}

BOOL WINAPI GdiFlush(void) {
    return TRUE; // drawing is done by the time a call returns: there is no batch to flush
}

} // extern "C"
