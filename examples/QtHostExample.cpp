// A Qt application with a canvas in its main window. The window, its widgets and its event loop
// are Qt's: the canvas lives in an ordinary QWidget, and Qt's loop runs the library's share of
// the work (its X events, posted messages and Coin's sensors) through three calls of
// <oivwin32.h>. A "View All" button frames the scene; View > Canvas toolbar opens the toolbar.
//
//   oivwintav-qt-example        (needs a desktop: Qt opens the display named by DISPLAY)
//
// GTK works the same way: g_unix_fd_add on OivWin32GetEventFd() and g_timeout_add with
// OivWin32GetNextTimeoutMs() around OivWin32ProcessEvents().
#include "OivWinTav.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <oivwin32.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 520;

// Runs the library from Qt's loop: whenever its descriptor is readable, and again when Coin's
// next timer is due (a spinning view, a recording).
class LibraryEvents {
public:
    LibraryEvents() : m_Notifier(OivWin32GetEventFd(), QSocketNotifier::Read) {
        m_Timer.setSingleShot(true);
        QObject::connect(&m_Notifier, &QSocketNotifier::activated, [this] { process(); });
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { process(); });
        process();
    }

private:
    void process() {
        if (!OivWin32ProcessEvents())
            QApplication::quit();
        const int timeout = OivWin32GetNextTimeoutMs();
        if (timeout >= 0)
            m_Timer.start(timeout);
        else
            m_Timer.stop();
    }

    QSocketNotifier m_Notifier;
    QTimer m_Timer;
};

SoSeparator* redCone() {
    auto* scene = new SoSeparator;
    auto* material = new SoMaterial;
    material->diffuseColor.setValue(0.9f, 0.1f, 0.1f);
    scene->addChild(material);
    scene->addChild(new SoCone);
    return scene;
}

class CanvasWindow : public QMainWindow {
public:
    CanvasWindow() {
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        auto* viewAll = new QPushButton("View All");
        m_CanvasArea = new QWidget;
        // An X window of its own, for the library's windows to live in.
        m_CanvasArea->setAttribute(Qt::WA_NativeWindow);
        layout->addWidget(viewAll);
        layout->addWidget(m_CanvasArea, 1);
        setCentralWidget(central);
        setWindowTitle("OivWinTav in Qt");
        resize(kWindowWidth, kWindowHeight);

        m_Parent = OivWin32AttachNativeWindow(m_CanvasArea->winId());
        if (!m_Parent)
            return;
        m_Canvas = std::make_unique<OivCanvas>();
        m_Canvas->initialize(OivBaseCanvas::EXAMINER_VIEWER, m_Parent); // fills the widget
        m_Canvas->getOivSceneManager()->getRoot3D()->addChild(redCone());
        m_Canvas->getOivViewer()->viewAll();
        m_Canvas->getOivViewer()->saveHomePosition();
        QObject::connect(viewAll, &QPushButton::clicked,
                         [this] { m_Canvas->getOivViewer()->viewAll(); });
        menuBar()->addMenu("&View")->addAction("Canvas &toolbar", [this] { showToolbar(); });
    }

    ~CanvasWindow() override {
        // The library's windows go before the widget that holds them.
        m_Toolbar.reset();
        m_Canvas.reset();
        if (m_Parent)
            OivWin32DetachNativeWindow(m_Parent);
    }

    bool hasCanvas() const { return m_Canvas != nullptr; }

private:
    void showToolbar() {
        if (!m_Toolbar) {
            m_Toolbar = std::make_unique<DuiCanvasToolbar>();
            m_Toolbar->setOivCanvas(m_Canvas.get());
            m_Toolbar->initialize();
            m_Canvas->addDUI(m_Toolbar.get());
        }
        m_Toolbar->getTopLevelDialog()->show();
    }

    QWidget* m_CanvasArea = nullptr;
    HWND m_Parent = nullptr;
    std::unique_ptr<OivCanvas> m_Canvas;
    std::unique_ptr<DuiCanvasToolbar> m_Toolbar;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    SoWin::init(HWND(nullptr)); // Coin, drawing and the display; Qt makes the windows
    CanvasWindow window;
    if (!window.hasCanvas()) {
        std::fprintf(stderr, "oivwintav-qt-example: the canvas needs the X display Qt uses\n");
        return EXIT_FAILURE;
    }
    LibraryEvents events;
    window.show();
    return application.exec();
}
