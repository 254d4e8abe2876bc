// The library's own bitmap resources. On Windows the loader maps them with the DLL; here the
// library registers them under its module name when it is loaded, from the BMP files compiled
// into it, so GetModuleHandleA("OivWinTav.dll") and LoadBitmapA find them as a Windows build would.
#include <oivwin32.h>
#include <windows.h>

extern const unsigned char oivwintav_embedded_tracking_on_bmp[];
extern const unsigned long oivwintav_embedded_tracking_on_bmp_size;
extern const unsigned char oivwintav_embedded_tracking_off_bmp[];
extern const unsigned long oivwintav_embedded_tracking_off_bmp_size;

namespace {

constexpr const char* kModuleName = "OivWinTav.dll";
constexpr WORD kTrackingOnBitmap = 101;
constexpr WORD kTrackingOffBitmap = 102;

bool registerResources() {
    HMODULE module = OivWin32RegisterModule(kModuleName);
    return module &&
           OivWin32AddBitmapResource(module, kTrackingOnBitmap, oivwintav_embedded_tracking_on_bmp,
                                     oivwintav_embedded_tracking_on_bmp_size) &&
           OivWin32AddBitmapResource(module, kTrackingOffBitmap,
                                     oivwintav_embedded_tracking_off_bmp,
                                     oivwintav_embedded_tracking_off_bmp_size);
}

[[maybe_unused]] const bool registered = registerResources();

} // namespace
