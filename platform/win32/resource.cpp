// Modules and resources: module handles, bitmap resources, the predefined icons and cursors, and
// the system colours with their brushes.
#include "detail/GdiRegistry.h"
#include "detail/ModuleRegistry.h"
#include "detail/ResourceName.h"

#include <oivwin32.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>

using oivwin32::BmpFile;
using oivwin32::ModuleRegistry;
using oivwin32::ResourceName;

namespace {

// The standard icons (IDI_APPLICATION to IDI_WINLOGO) and cursors (IDC_ARROW to IDC_HAND).
constexpr WORD kFirstSystemIcon = 32512, kLastSystemIcon = 32517;
constexpr WORD kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                   32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};

// The default colours of the classic desktop scheme, by COLOR_* index; index 25 is unused.
constexpr int kUnusedColourIndex = 25;
constexpr COLORREF kSystemColours[] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
    RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
    RGB(171, 171, 171), RGB(51, 153, 255),  RGB(255, 255, 255), RGB(240, 240, 240),
    RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(67, 78, 84),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
    RGB(215, 228, 242), RGB(51, 153, 255),  RGB(240, 240, 240)};

bool isSystemColour(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kSystemColours)) &&
           index != kUnusedColourIndex;
}

// Icons and cursors are looked up among the predefined ones only: modules here carry bitmaps,
// no icon or cursor resources, so a module's own lookup fails as it would for a missing id.
HICON loadSystemImage(HINSTANCE instance, LPCSTR name, bool cursor) {
    std::optional<WORD> id = ResourceName::number(name);
    bool known = id && (cursor ? std::find(std::begin(kSystemCursors), std::end(kSystemCursors),
                                           *id) != std::end(kSystemCursors)
                               : (*id >= kFirstSystemIcon && *id <= kLastSystemIcon));
    if (instance || !known) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return ModuleRegistry::instance().systemImage(cursor, *id);
}

// Adds a BMP file that was read, or fails: the image was refused, or the module is unknown.
BOOL addBitmapResource(HMODULE module, WORD id, std::optional<BmpFile::Image> image) {
    if (!image || !ModuleRegistry::instance().addBitmap(module, id, std::move(*image))) {
        SetLastError(image ? ERROR_MOD_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

} // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (!moduleName)
        return ModuleRegistry::instance().program();
    HMODULE module = ModuleRegistry::instance().find(moduleName);
    if (!module)
        SetLastError(ERROR_MOD_NOT_FOUND);
    return module;
}

HMODULE WINAPI OivWin32RegisterModule(LPCSTR moduleName) {
    HMODULE module = ModuleRegistry::instance().add(moduleName);
    if (!module)
        SetLastError(ERROR_INVALID_PARAMETER);
    return module;
}

BOOL WINAPI OivWin32AddBitmapResource(HMODULE module, WORD id, const void* bmpData, size_t size) {
    return addBitmapResource(module, id, BmpFile::parse(bmpData, size));
}

BOOL WINAPI OivWin32AddBitmapResourceFromFile(HMODULE module, WORD id, LPCSTR bmpPath) {
    return addBitmapResource(module, id, bmpPath ? BmpFile::read(bmpPath) : std::nullopt);
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR bitmapName) {
    // Each call makes a new DIB section of the resource, which the caller deletes.
    std::optional<WORD> id = ResourceName::number(bitmapName);
    std::shared_ptr<const BmpFile::Image> image =
        id ? ModuleRegistry::instance().bitmap(instance, *id) : nullptr;
    if (!image) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return oivwin32::GdiRegistry::instance().locked([&](oivwin32::GdiRegistry& registry) {
        HGDIOBJ handle = registry.addBitmap(image->format, true);
        if (handle)
            std::memcpy(registry.findBitmap(handle)->bits.data(), image->bits.data(),
                        image->bits.size());
        return static_cast<HBITMAP>(handle);
    });
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    return loadSystemImage(instance, iconName, false);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    return loadSystemImage(instance, cursorName, true);
}

DWORD WINAPI GetSysColor(int index) {
    return isSystemColour(index) ? kSystemColours[index] : 0;
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    if (!isSystemColour(index))
        return nullptr;
    return static_cast<HBRUSH>(
        oivwin32::GdiRegistry::instance().locked([index](oivwin32::GdiRegistry& registry) {
            return registry.systemBrush(index, kSystemColours[index]);
        }));
}

} // extern "C"
