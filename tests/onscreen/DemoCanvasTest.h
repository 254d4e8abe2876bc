// Fixture of the on-screen tests that need the demo canvas: shown in the application's
// top-level window, drawn, and taken down after the test.
#ifndef OIVWINTAV_TESTS_ONSCREEN_DEMOCANVASTEST_H
#define OIVWINTAV_TESTS_ONSCREEN_DEMOCANVASTEST_H

#include "onscreen/HeadlessFrame.h"
#include "onscreen/TestScreen.h"

#include "DemoScene.h"
#include "canvas/OivCanvas.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/nodes/SoCamera.h>

#include <gtest/gtest.h>

#include <memory>

namespace onscreen {

class DemoCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Screen.isOpen());
        SoWin::show(SoWin::getTopLevelWidget());
        m_Canvas = std::make_unique<OivCanvas>();
        m_Window = presentDemoCanvas(*m_Canvas);
        ASSERT_NE(m_Canvas->getOivViewer(), nullptr);
        settle(m_Screen);
    }

    void TearDown() override {
        m_Canvas.reset();
        DestroyWindow(m_Window);
        settle(m_Screen);
    }

    HWND drawingWindow() const { return m_Canvas->getOivViewer()->getNormalWidget(); }
    SoCamera* camera() const { return m_Canvas->getOivViewer()->getCamera(); }

    TestScreen m_Screen;
    std::unique_ptr<OivCanvas> m_Canvas;
    HWND m_Window = nullptr;
};

} // namespace onscreen

#endif
