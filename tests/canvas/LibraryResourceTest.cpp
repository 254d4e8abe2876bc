// The library's tracking-button bitmaps are there as soon as the library is loaded, with no file
// of its own needed at run time.
#include <oivwin32.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kBitmapSize = 48;

void expectTrackingBitmap(WORD id) {
    SCOPED_TRACE(id);
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA("OivWinTav.dll"), MAKEINTRESOURCEA(id));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, kBitmapSize);
    EXPECT_EQ(info.bmHeight, kBitmapSize);
    DeleteObject(bitmap);
}

} // namespace

TEST(LibraryResourceTest, TrackingBitmapsAreRegisteredUnderTheLibrarysModuleName) {
    EXPECT_NE(GetModuleHandleA("OivWinTav.dll"), nullptr);
    expectTrackingBitmap(101);
    expectTrackingBitmap(102);
    // The two bitmaps are the open and the closed eye, not one image twice.
    HMODULE module = GetModuleHandleA("OivWinTav.dll");
    HBITMAP on = LoadBitmapA(module, MAKEINTRESOURCEA(101));
    HBITMAP off = LoadBitmapA(module, MAKEINTRESOURCEA(102));
    DIBSECTION onInfo{}, offInfo{};
    ASSERT_EQ(GetObjectA(on, sizeof onInfo, &onInfo), int(sizeof onInfo));
    ASSERT_EQ(GetObjectA(off, sizeof offInfo, &offInfo), int(sizeof offInfo));
    const auto* onBits = static_cast<const unsigned char*>(onInfo.dsBm.bmBits);
    const auto* offBits = static_cast<const unsigned char*>(offInfo.dsBm.bmBits);
    size_t bytes = size_t(onInfo.dsBm.bmWidthBytes) * kBitmapSize;
    EXPECT_FALSE(std::equal(onBits, onBits + bytes, offBits));
    DeleteObject(on);
    DeleteObject(off);
}
