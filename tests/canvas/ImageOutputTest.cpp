// A canvas's view outside the normal drawing: printed onto a page device context, zoomed into a
// dragged rectangle, and shown a second time in a loupe.
#include "OivWinTav.h"
#include "scene/ViewerFrame.h"
#include "support/MessageLoop.h"
#include "support/TempPath.h"

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTranslation.h>
#include <oivwin32.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <simage.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 160, kHeight = 120;

// A printer page: a device context of the given resolution holding a white 32-bit page.
class Page {
public:
    Page(int dotsPerInch, int width, int height) : m_DC(OivWin32CreatePrinterDC(dotsPerInch)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_Bitmap = CreateDIBSection(m_DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::fill_n(static_cast<DWORD*>(bits), size_t(width) * height, 0xFFFFFFu);
        m_Old = SelectObject(m_DC, m_Bitmap);
    }
    ~Page() {
        SelectObject(m_DC, m_Old);
        DeleteObject(m_Bitmap);
        DeleteDC(m_DC);
    }
    HDC dc() const { return m_DC; }
    bool matches(int x, int y, const unsigned char* rgb) const {
        COLORREF c = GetPixel(m_DC, x, y);
        return GetRValue(c) == rgb[0] && GetGValue(c) == rgb[1] && GetBValue(c) == rgb[2];
    }

private:
    HDC m_DC;
    HBITMAP m_Bitmap;
    HGDIOBJ m_Old;
};

class ImageOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = testsupport::createHostWindow(kWidth, kHeight);
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        delete canvas;
        DestroyWindow(host);
    }

    // A canvas of `type` showing a green cube, moved by (dx, dy), framed whole.
    void build(OivBaseCanvas::ViewerType type, float dx = 0.0f, float dy = 0.0f) {
        canvas = new OivCanvas;
        canvas->initialize(type, host);
        ASSERT_NE(viewer(), nullptr);
        content = new SoSeparator;
        content->addChild(new SoTranslation);
        static_cast<SoTranslation*>(content->getChild(0))->translation.setValue(dx, dy, 0.0f);
        content->addChild(material(0.0f, 1.0f, 0.0f));
        content->addChild(new SoCube);
        canvas->getOivSceneManager()->getRoot3D()->addChild(content);
        viewer()->viewAll();
        testsupport::runMessageLoopUntilIdle();
    }
    static SoMaterial* material(float r, float g, float b) {
        auto* m = new SoMaterial;
        m->diffuseColor.setValue(r, g, b);
        m->emissiveColor.setValue(r, g, b);
        return m;
    }
    SoWinFullViewer* viewer() const { return canvas ? canvas->getOivViewer() : nullptr; }
    SoCamera* camera() const { return viewer()->getCamera(); }

    HWND host = nullptr;
    OivCanvas* canvas = nullptr;
    SoSeparator* content = nullptr;
};

// Whether the frame has a pixel that is mostly `channel` (0 red, 1 green).
bool hasPixelsOf(const Frame& frame, int channel) {
    for (int y = 0; y < frame.size[1]; ++y)
        for (int x = 0; x < frame.size[0]; ++x) {
            const unsigned char* p = frame.at(x, y);
            if (p[channel] > 150 && p[(channel + 1) % 3] < 80 && p[(channel + 2) % 3] < 80)
                return true;
        }
    return false;
}

// Bounds of the green pixels of a frame (rows from the top).
struct Bounds {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};
Bounds greenBounds(const Frame& frame) {
    Bounds b;
    for (int y = 0; y < frame.size[1]; ++y)
        for (int x = 0; x < frame.size[0]; ++x) {
            const unsigned char* p = frame.at(x, y);
            if (p[1] > 120 && p[0] < 80 && p[2] < 80) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x);
                b.y1 = std::max(b.y1, y);
            }
        }
    return b;
}

TEST_F(ImageOutputTest, PageOfTheScreenResolutionReceivesTheViewPixelForPixel) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    viewer()->setBackgroundColor(SbColor(0.1f, 0.1f, 0.1f)); // dark, but not black: it stays
    const Frame frame = drawnFrame(viewer());
    ASSERT_EQ(frame.size, SbVec2s(kWidth, kHeight));
    Page page(96, kWidth + 20, kHeight + 20);

    ASSERT_TRUE(canvas->printPage(page.dc()));

    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            differing += page.matches(x, y, frame.at(x, y)) ? 0 : 1;
    EXPECT_EQ(differing, 0);
    EXPECT_NEAR(GetRValue(GetPixel(page.dc(), 0, 0)), 26, 1);
    // Beyond the view the page keeps its paper.
    EXPECT_EQ(GetPixel(page.dc(), kWidth + 5, kHeight + 5), RGB(255, 255, 255));
}

TEST_F(ImageOutputTest, BlackBackgroundPrintsWhiteAtTwiceTheSizeOnADoubleResolutionPage) {
    build(OivBaseCanvas::PLANE_VIEWER);
    viewer()->setBackgroundColor(SbColor(0.0f, 0.0f, 0.0f));
    const Frame frame = drawnFrame(viewer());
    Page page(192, 2 * kWidth, 2 * kHeight);

    ASSERT_TRUE(canvas->printPage(page.dc()));

    int differing = 0, background = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = frame.at(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
                ++background;
                differing += GetPixel(page.dc(), 2 * x + 1, 2 * y) == RGB(255, 255, 255) ? 0 : 1;
            } else {
                for (int corner = 0; corner < 4; ++corner)
                    differing += page.matches(2 * x + corner % 2, 2 * y + corner / 2, p) ? 0 : 1;
            }
        }
    EXPECT_GT(background, 0);
    EXPECT_EQ(differing, 0);
    // The viewer itself still draws black.
    EXPECT_TRUE(drawnFrame(viewer()).isNear(0, 0, 0, 0, 0));
}

TEST_F(ImageOutputTest, PrintWithoutViewerReturnsFalseAndLeavesThePage) {
    canvas = new OivCanvas;
    Page page(300, 16, 16);
    EXPECT_FALSE(canvas->printPage(page.dc()));
    EXPECT_EQ(GetPixel(page.dc(), 8, 8), RGB(255, 255, 255));
}

// A printer page must be a device context holding a picture; anything else receives nothing, and
// printing says so.
TEST_F(ImageOutputTest, PrintOntoSomethingThatIsNoPageReturnsFalse) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    EXPECT_FALSE(canvas->printPage(nullptr));
    HDC deleted = OivWin32CreatePrinterDC(300);
    DeleteDC(deleted);
    EXPECT_FALSE(canvas->printPage(deleted));
    Page page(300, 16, 16);
    EXPECT_TRUE(canvas->printPage(page.dc()));
}

// 330 screen pixels at the finest printer resolution are 34375 page pixels, more than a short
// holds: the print still covers the page from edge to edge (the widest page a device context
// here holds is 32768 pixels).
TEST_F(ImageOutputTest, AWideViewOnAFinePrinterFillsThePage) {
    constexpr int kScreenDpi = 96, kPrinterDpi = 10000, kViewWidth = 330, kViewHeight = 3;
    constexpr int kPageWidth = 32768, kPrintedHeight = kViewHeight * kPrinterDpi / kScreenDpi;
    DestroyWindow(host);
    host = testsupport::createHostWindow(kViewWidth, kViewHeight);
    build(OivBaseCanvas::PLANE_VIEWER);
    viewer()->setBackgroundColor(SbColor(0.5f, 0.5f, 0.5f));
    Page page(kPrinterDpi, kPageWidth, 2 * kPrintedHeight);

    ASSERT_TRUE(canvas->printPage(page.dc()));

    for (int x : {0, kPageWidth / 2, kPageWidth - 1})
        EXPECT_NEAR(GetRValue(GetPixel(page.dc(), x, kPrintedHeight / 2)), 128, 2) << x;
    EXPECT_EQ(GetPixel(page.dc(), 0, kPrintedHeight + 10), RGB(255, 255, 255));
}

TEST_F(ImageOutputTest, PrintedPageWritesToAPngFile) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    Page page(300, 600, 450);
    ASSERT_TRUE(canvas->printPage(page.dc()));
    const std::string path = testsupport::tempPath("oivwintav-printed-page", ".png");
    ASSERT_TRUE(OivWin32SaveBitmapAsPng(page.dc(), path.c_str()));
    EXPECT_FALSE(OivWin32SaveBitmapAsPng(nullptr, path.c_str()));

    int width = 0, height = 0, components = 0;
    unsigned char* png = simage_read_image(path.c_str(), &width, &height, &components);
    std::remove(path.c_str());
    ASSERT_NE(png, nullptr);
    ASSERT_EQ(width, 600);
    ASSERT_EQ(height, 450);
    ASSERT_EQ(components, 3);
    int differing = 0;
    for (int y = 0; y < height; y += 7)
        for (int x = 0; x < width; x += 5) // the file's rows run bottom to top
            differing += page.matches(x, y, png + 3 * ((height - 1 - y) * width + x)) ? 0 : 1;
    simage_free_image(png);
    EXPECT_EQ(differing, 0);
}

// The selection around the cube, seen off centre, becomes the whole view.
TEST_F(ImageOutputTest, MagnifyCentresAndFillsTheViewWithTheSelection) {
    build(OivBaseCanvas::PLANE_VIEWER);
    // A second cube to the right puts the first left of the centre.
    SoSeparator* right = new SoSeparator;
    right->addChild(new SoTranslation);
    static_cast<SoTranslation*>(right->getChild(0))->translation.setValue(6.0f, 0.0f, 0.0f);
    right->addChild(material(0.0f, 0.0f, 1.0f));
    right->addChild(new SoCube);
    canvas->getOivSceneManager()->getRoot3D()->addChild(right);
    viewer()->viewAll();
    const Bounds before = greenBounds(drawnFrame(viewer()));
    ASSERT_GE(before.x1, 0);
    ASSERT_LT(before.x1, kWidth / 2);

    // A square selection around the cube, given bottom right first.
    const int side = std::max(before.x1 - before.x0, before.y1 - before.y0) + 1;
    const int cx = (before.x0 + before.x1 + 1) / 2, cy = (before.y0 + before.y1 + 1) / 2;
    canvas->magnify(cx + side / 2, cy + side / 2, cx - side / 2, cy - side / 2);

    const Bounds after = greenBounds(drawnFrame(viewer()));
    EXPECT_NEAR((after.x0 + after.x1) / 2.0, kWidth / 2.0, 2.0);
    EXPECT_NEAR((after.y0 + after.y1) / 2.0, kHeight / 2.0, 2.0);
    // The selection's height fills the window's height.
    EXPECT_NEAR(after.y1 - after.y0 + 1, kHeight, kHeight / 20.0);
}

TEST_F(ImageOutputTest, MagnifyOrthographicSquareInALandscapeWindow) {
    build(OivBaseCanvas::PLANE_VIEWER);
    auto* ortho = static_cast<SoOrthographicCamera*>(camera());
    const float height = ortho->height.getValue();
    const SbVec3f position = ortho->position.getValue();

    // A 40-pixel square is a third of the 120-pixel height, in either corner order.
    canvas->magnify(20, 30, 60, 70);
    const float zoomed = ortho->height.getValue();
    const SbVec3f moved = ortho->position.getValue();
    EXPECT_NEAR(zoomed, height / 3.0f, height * 1e-4f);
    EXPECT_NEAR(ortho->aspectRatio.getValue(), 1.0f, 1e-4f);

    ortho->height = height;
    ortho->position.setValue(position);
    canvas->magnify(60, 70, 20, 30);
    EXPECT_FLOAT_EQ(ortho->height.getValue(), zoomed);
    EXPECT_TRUE(ortho->position.getValue().equals(moved, 1e-5f));
    // Left of and above the centre: the camera went left and up.
    EXPECT_LT(moved[0], position[0]);
    EXPECT_GT(moved[1], position[1]);
}

TEST_F(ImageOutputTest, MagnifyMovesAPerspectiveCameraSidewaysOnly) {
    build(OivBaseCanvas::EXAMINER_VIEWER);
    auto* perspective = static_cast<SoPerspectiveCamera*>(camera());
    const float angle = perspective->heightAngle.getValue();
    const float focal = perspective->focalDistance.getValue();
    const SbVec3f position = perspective->position.getValue();
    SbVec3f direction;
    perspective->orientation.getValue().multVec(SbVec3f(0, 0, -1), direction);

    canvas->magnify(100, 10, 150, 50);

    const SbVec3f shift = perspective->position.getValue() - position;
    EXPECT_GT(shift.length(), 0.01f);
    EXPECT_NEAR(shift.dot(direction), 0.0f, 1e-4f);
    EXPECT_EQ(perspective->heightAngle.getValue(), angle);
    EXPECT_EQ(perspective->focalDistance.getValue(), focal);
}

TEST_F(ImageOutputTest, MagnifyWithoutAreaLeavesTheCamera) {
    build(OivBaseCanvas::PLANE_VIEWER);
    auto* ortho = static_cast<SoOrthographicCamera*>(camera());
    const float height = ortho->height.getValue();
    const float aspect = ortho->aspectRatio.getValue();
    const SbVec3f position = ortho->position.getValue();
    canvas->magnify(40, 10, 40, 90); // no width
    canvas->magnify(10, 50, 90, 50); // no height
    viewer()->setViewportRegion(SbViewportRegion(SbVec2s(0, 0)));
    canvas->magnify(10, 10, 90, 90); // no window
    EXPECT_EQ(ortho->height.getValue(), height);
    EXPECT_EQ(ortho->aspectRatio.getValue(), aspect);
    EXPECT_EQ(ortho->position.getValue(), position);

    OivCanvas unbuilt;
    unbuilt.magnify(0, 0, 10, 10); // no viewer: nothing to do, nothing to crash
}

TEST_F(ImageOutputTest, LoupeRecordsANullWindowAndBuildsNothing) {
    OivCanvas unbuilt;
    unbuilt.initializeLoupe(host);
    EXPECT_EQ(unbuilt.getLoupeWindow(), host);
    EXPECT_EQ(unbuilt.getLoupeViewer(), nullptr);

    build(OivBaseCanvas::EXAMINER_VIEWER);
    canvas->initializeLoupe(host);
    ASSERT_NE(canvas->getLoupeViewer(), nullptr);
    canvas->initializeLoupe(nullptr);
    EXPECT_EQ(canvas->getLoupeWindow(), nullptr);
    // The loupe already built stays until a window for a new one comes.
    EXPECT_NE(canvas->getLoupeViewer(), nullptr);
}

class LoupeTest : public ImageOutputTest,
                  public ::testing::WithParamInterface<OivBaseCanvas::ViewerType> {};

TEST_P(LoupeTest, ShowsTheThreeDRootAloneInAViewerOfTheCanvasType) {
    build(GetParam());
    // Interface geometry in red, in front of the green content: the main view shows it.
    SoSeparator* ui = canvas->getOivSceneManager()->getRootUI3D();
    ui->addChild(material(1.0f, 0.0f, 0.0f));
    ui->addChild(new SoCube);
    ASSERT_TRUE(hasPixelsOf(drawnFrame(viewer()), 0));
    HWND loupeWindow = testsupport::createHostWindow(kWidth, kHeight);

    canvas->initializeLoupe(loupeWindow);
    SoWinFullViewer* first = canvas->getLoupeViewer();
    ASSERT_NE(first, nullptr);
    canvas->initializeLoupe(loupeWindow); // replaces the first one, which is deleted
    SoWinFullViewer* loupe = canvas->getLoupeViewer();
    ASSERT_NE(loupe, nullptr);

    EXPECT_EQ(canvas->getLoupeWindow(), loupeWindow);
    switch (GetParam()) {
    case OivBaseCanvas::PLANE_VIEWER:
        EXPECT_NE(dynamic_cast<OivWinPlaneViewer*>(loupe), nullptr);
        break;
    case OivBaseCanvas::CURVE_VIEWER:
        EXPECT_NE(dynamic_cast<OivWinCurveViewer*>(loupe), nullptr);
        break;
    default:
        EXPECT_NE(dynamic_cast<OivWinExaminerViewer*>(loupe), nullptr);
        EXPECT_EQ(dynamic_cast<OivWinCurveViewer*>(loupe), nullptr);
    }
    EXPECT_FALSE(loupe->isDecoration());
    EXPECT_NE(loupe->getCamera(), camera()); // a camera of its own
    const Frame frame = drawnFrame(loupe);
    EXPECT_TRUE(hasPixelsOf(frame, 1));
    EXPECT_FALSE(hasPixelsOf(frame, 0));
    // The loupe's camera moves alone.
    const SbVec3f mainPosition = camera()->position.getValue();
    loupe->getCamera()->position.setValue(mainPosition + SbVec3f(1, 0, 0));
    EXPECT_EQ(camera()->position.getValue(), mainPosition);

    delete canvas; // deletes the loupe viewer before its window goes
    canvas = nullptr;
    DestroyWindow(loupeWindow);
}

INSTANTIATE_TEST_SUITE_P(Types, LoupeTest,
                         ::testing::Values(OivBaseCanvas::PLANE_VIEWER,
                                           OivBaseCanvas::EXAMINER_VIEWER,
                                           OivBaseCanvas::CURVE_VIEWER));

} // namespace
