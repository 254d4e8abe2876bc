#include "ViewerTestSupport.h"

#include <Inventor/Win/widgets/SoWinBitmapButton.h>
#include <oivwin32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A 2 × 3, 24 bits per pixel BMP file in memory.
std::vector<unsigned char> smallBmp() {
    const int width = 2, height = 3, rowBytes = 8; // 6 bytes padded to 4
    std::vector<unsigned char> file(54 + rowBytes * height, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put16(26, 1);
    put16(28, 24);
    put32(34, uint32_t(rowBytes * height));
    return file;
}

} // namespace

TEST(BitmapButton, LoadsItsPictureFromTheModulesResourcesAndKeepsItsState) {
    HWND top = viewertest::createHostWindow();
    HMODULE module = OivWin32RegisterModule("ButtonTest.dll");
    const std::vector<unsigned char> bmp = smallBmp();
    ASSERT_TRUE(OivWin32AddBitmapResource(module, 101, bmp.data(), bmp.size()));

    SoWinBitmapButton button(top, 0, "eye");
    ASSERT_TRUE(IsWindow(button.getWidget()));
    EXPECT_EQ(GetParent(button.getWidget()), top);
    EXPECT_EQ(GetPropA(button.getWidget(), "SoWinBitmapButton"), &button);

    button.setBitmap(GetModuleHandleA("ButtonTest.dll"), 101);
    ASSERT_TRUE(button.getBitmap());
    BITMAP info{};
    ASSERT_EQ(GetObjectA(button.getBitmap(), sizeof(info), &info), int(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 2);
    EXPECT_EQ(info.bmHeight, 3);

    // An id the module does not have leaves the button without picture.
    button.setBitmap(module, 102);
    EXPECT_FALSE(button.getBitmap());

    button.select(TRUE);
    button.showFocus(FALSE);
    EXPECT_TRUE(button.isSelected());
    EXPECT_FALSE(button.isFocusShown());
    DestroyWindow(top);
}
