// Modules, bitmap resources (the tracking button's eye bitmaps), predefined icons and cursors,
// system colour brushes.
#include <oivwin32.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kResourceDir = std::string(OIVWINTAV_TEST_RESOURCE_DIR);
constexpr WORD kTrackingOn = 101, kTrackingOff = 102;
constexpr COLORREF kGround = RGB(192, 192, 192), kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr int kEyeSize = 48, kCentre = 24;

// Registers the library's two bitmap files from disk under its module name, replacing the copies
// the library registers from its own data when it is loaded.
HMODULE registerLibraryBitmaps() {
    HMODULE module = OivWin32RegisterModule("OivWinTav.dll");
    EXPECT_TRUE(OivWin32AddBitmapResourceFromFile(module, kTrackingOn,
                                                  (kResourceDir + "/tracking_on.bmp").c_str()));
    EXPECT_TRUE(OivWin32AddBitmapResourceFromFile(module, kTrackingOff,
                                                  (kResourceDir + "/tracking_off.bmp").c_str()));
    return module;
}

// A memory DC showing `bitmap`, released at the end of the scope.
struct Shown {
    HDC dc;
    HGDIOBJ previous;
    explicit Shown(HBITMAP bitmap)
        : dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap)) {}
    ~Shown() {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    Shown(const Shown&) = delete;
    Shown& operator=(const Shown&) = delete;
};

int count(HDC dc, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < kEyeSize; ++y)
        for (int x = 0; x < kEyeSize; ++x)
            n += GetPixel(dc, x, y) == colour;
    return n;
}

} // namespace

TEST(ModuleTest, ProgramAndRegisteredModulesAreFoundByName) {
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA("NeverLoaded.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    HMODULE module = OivWin32RegisterModule("OivWinTav.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(module, GetModuleHandleA(nullptr));
    EXPECT_EQ(OivWin32RegisterModule("OivWinTav.dll"), module); // registered once
    EXPECT_EQ(GetModuleHandleA("OivWinTav.dll"), module);
    EXPECT_EQ(GetModuleHandleA("oivwintav.DLL"), module);
    EXPECT_EQ(GetModuleHandleA("OivWinTav"), module); // ".dll" is assumed
    EXPECT_EQ(OivWin32RegisterModule(""), nullptr);
    EXPECT_EQ(OivWin32RegisterModule(nullptr), nullptr);
}

TEST(BitmapResourceTest, TrackingOnIsAnOpenEye) {
    HMODULE module = registerLibraryBitmaps();
    HBITMAP on = LoadBitmapA(GetModuleHandleA("OivWinTav.dll"), MAKEINTRESOURCEA(kTrackingOn));
    ASSERT_NE(on, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(on, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidth, kEyeSize);
    EXPECT_EQ(ds.dsBm.bmHeight, kEyeSize);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 4);
    EXPECT_EQ(ds.dsBmih.biClrUsed, 16u);
    {
        Shown shown(on);
        RGBQUAD palette[16];
        ASSERT_EQ(GetDIBColorTable(shown.dc, 0, 16, palette), 16u);
        EXPECT_EQ(palette[7].rgbRed, 192); // the standard 16 colours: index 7 is light grey
        EXPECT_EQ(palette[15].rgbGreen, 255);
        EXPECT_EQ(GetPixel(shown.dc, 0, 0), kGround);
        EXPECT_EQ(GetPixel(shown.dc, kEyeSize - 1, kEyeSize - 1), kGround);
        EXPECT_EQ(GetPixel(shown.dc, kCentre, kCentre), kBlack); // the pupil
        EXPECT_EQ(GetPixel(shown.dc, kCentre - 12, kCentre), kWhite);
        EXPECT_EQ(GetPixel(shown.dc, kCentre + 12, kCentre), kWhite);
        EXPECT_GT(count(shown.dc, kWhite), 200);
    }
    EXPECT_TRUE(DeleteObject(on));
    EXPECT_EQ(GetModuleHandleA("OivWinTav.dll"), module);
}

TEST(BitmapResourceTest, TrackingOffIsAClosedEye) {
    HMODULE module = registerLibraryBitmaps();
    HBITMAP off = LoadBitmapA(module, MAKEINTRESOURCEA(kTrackingOff));
    ASSERT_NE(off, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(off, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, kEyeSize);
    EXPECT_EQ(bm.bmBitsPixel, 4);
    {
        Shown shown(off);
        EXPECT_EQ(GetPixel(shown.dc, 0, 0), kGround);
        EXPECT_EQ(GetPixel(shown.dc, kCentre, kCentre - 6), kGround); // no open eye above the lids
        EXPECT_EQ(count(shown.dc, kWhite), 0);
        EXPECT_GT(count(shown.dc, kBlack), 60); // the two lid arcs
        EXPECT_EQ(count(shown.dc, kGround) + count(shown.dc, kBlack), kEyeSize * kEyeSize);
    }
    DeleteObject(off);
}

TEST(BitmapResourceTest, EachLoadIsANewBitmapAndUnknownIdsFail) {
    HMODULE module = registerLibraryBitmaps();
    HBITMAP first = LoadBitmapA(module, MAKEINTRESOURCEA(kTrackingOn));
    HBITMAP second = LoadBitmapA(module, "#101");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    {
        Shown shown(first);
        SetPixel(shown.dc, 0, 0, kBlack); // changes this copy only
    }
    {
        Shown shown(second);
        EXPECT_EQ(GetPixel(shown.dc, 0, 0), kGround);
    }
    DeleteObject(first);
    DeleteObject(second);
    EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(103)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kTrackingOn)), nullptr);
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTrackingOn)), nullptr);
    EXPECT_EQ(LoadBitmapA(module, "IDB_TRACKING_ON"), nullptr);
    EXPECT_FALSE(OivWin32AddBitmapResourceFromFile(module, 104, "/nonexistent.bmp"));
    EXPECT_FALSE(OivWin32AddBitmapResourceFromFile(nullptr, 104,
                                                   (kResourceDir + "/tracking_on.bmp").c_str()));
}

TEST(SystemResourceTest, PredefinedIconsAndCursorsAreShared) {
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), icon);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_NE(LoadCursorA(nullptr, IDC_CROSS), arrow);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    // Looked up in a module, the predefined ids are missing: modules here carry no icons.
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), IDI_APPLICATION), nullptr);
}

TEST(SystemResourceTest, SystemColourBrushesAreStable) {
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    EXPECT_NE(GetSysColorBrush(COLOR_WINDOW), face);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(face, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID));
    EXPECT_TRUE(DeleteObject(face)); // harmless: system brushes are never deleted
    EXPECT_EQ(GetObjectA(face, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    EXPECT_EQ(GetSysColorBrush(25), nullptr);
    EXPECT_EQ(GetSysColorBrush(31), nullptr);
}
