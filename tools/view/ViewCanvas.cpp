#include "ViewCanvas.h"

#include "ViewProgress.h"

#include "DemoRecording.h"
#include "DemoScene.h"
#include "DemoWindow.h"

#include "canvas/OivCanvas.h"
#include "dui/DuiCanvasToolbar.h"
#include "scene/OivSceneManager.h"
#include "tav/OivPipe.h"
#include "video/OivVideoRecorder.h"
#include "viewers/OivWinCurveViewer.h"

#include <DialogViz/dialog/SoTopLevelDialog.h>
#include <Inventor/SoPath.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/errors/SoDebugError.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/fields/SoMFFloat.h>
#include <Inventor/fields/SoMFString.h>
#include <Inventor/nodes/SoIndexedLineSet.h>
#include <Inventor/nodes/SoLineSet.h>
#include <Inventor/nodes/SoSeparator.h>
#include <oivwin32.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgram = "oivwintav-view";
constexpr const char* kWindowTitle = "oivwintav-view";
// Headless with neither --png nor --video, the picture still goes somewhere a user finds it.
constexpr const char* kDefaultPicture = "oivwintav-view.png";
// The canvas's recorder writes this many frames per second of video.
constexpr int kFramesPerSecond = 25;
// The video recorder dialog's "Medium".
constexpr float kVideoQuality = 0.3f;
constexpr float kFullTurnDegrees = 360.0f;
// The recorder names its files itself; they are made in a folder of their own beside the
// requested file and renamed to it, so that nothing else of the user's is touched.
constexpr const char* kRecordingFolderSuffix = ".recording-XXXXXX";

void report(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", kProgram, line.c_str());
}

// Coin's errors while one file is read, kept instead of printed: the first is the reason given
// for a failed import, on one line.
class ReadErrorCatcher {
public:
    ReadErrorCatcher()
        : m_ReadCB(SoReadError::getHandlerCallback()), m_ReadData(SoReadError::getHandlerData()),
          m_DebugCB(SoDebugError::getHandlerCallback()),
          m_DebugData(SoDebugError::getHandlerData()) {
        SoReadError::setHandlerCallback(catchCB, this);
        SoDebugError::setHandlerCallback(catchCB, this);
    }
    ~ReadErrorCatcher() {
        SoReadError::setHandlerCallback(m_ReadCB, m_ReadData);
        SoDebugError::setHandlerCallback(m_DebugCB, m_DebugData);
    }
    ReadErrorCatcher(const ReadErrorCatcher&) = delete;
    ReadErrorCatcher& operator=(const ReadErrorCatcher&) = delete;

    const std::string& firstError() const { return m_First; }

private:
    static void catchCB(const SoError* error, void* data) {
        auto* self = static_cast<ReadErrorCatcher*>(data);
        if (self->m_First.empty())
            self->m_First = oneLine(error->getDebugString().getString());
    }
    static std::string oneLine(const std::string& text) {
        std::string line;
        for (char c : text) {
            const bool space = std::isspace(static_cast<unsigned char>(c));
            if (!space || (!line.empty() && line.back() != ' '))
                line += space ? ' ' : c;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        return line;
    }

    SoErrorCB* m_ReadCB;
    void* m_ReadData;
    SoErrorCB* m_DebugCB;
    void* m_DebugData;
    std::string m_First;
};

// Why `path` cannot be opened for reading; empty when it can.
std::string unreadableReason(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error))
        return "it is a folder";
    std::ifstream in(path, std::ios::binary);
    return in ? std::string() : std::strerror(errno);
}

void cannotRead(const std::string& path, const std::string& reason) {
    report("cannot read " + path + ": " + reason);
}

// The first line set or pipe in traversal order, as a path from `root`; null when there is none.
SoPath* firstCurve(SoNode* root) {
    SoSearchAction search;
    search.setType(SoNode::getClassTypeId());
    search.setInterest(SoSearchAction::ALL);
    search.apply(root);
    const SoPathList& paths = search.getPaths();
    for (int i = 0; i < paths.getLength(); ++i) {
        const SoNode* tail = paths[i]->getTail();
        if (tail->isOfType(OivPipe::getClassTypeId()) ||
            tail->isOfType(SoLineSet::getClassTypeId()) ||
            tail->isOfType(SoIndexedLineSet::getClassTypeId()))
            return paths[i]->copy();
    }
    return nullptr;
}

// Tracks the first curve of the scene, starting at its first point; without one the curve
// canvas behaves as an examiner.
void trackFirstCurve(OivWinCurveViewer& viewer) {
    SoPath* path = firstCurve(viewer.getSceneGraph());
    if (!path)
        return;
    path->ref();
    SoNode* curve = path->getTail();
    if (curve->isOfType(OivPipe::getClassTypeId())) {
        const auto* pipe = static_cast<const OivPipe*>(curve);
        SoGetMatrixAction toWorld(viewer.getViewportRegion());
        toWorld.apply(path);
        if (pipe->getNumPathPoints() > 1)
            viewer.setTrackingCurve(0, pipe->getNumPathPoints(), pipe->getPathPoints(),
                                    pipe->getPathPoints()[0], toWorld.getMatrix(), true);
    } else {
        viewer.setTrackingNode(curve, 0);
    }
    path->unref();
    viewer.enableTracking();
}

std::string tableOfZScales(const OivCanvas& canvas) {
    const SoMFString& labels = *canvas.getZScaleLabels();
    std::string table;
    for (int i = 0; i < labels.getNum(); ++i)
        table += (i ? ", " : "") + std::string(labels[i].getString());
    return table;
}

// The canvas toolbar beside the canvas's window, both interactive until the window is closed.
void showUntilClosed(OivCanvas& canvas) {
    DuiCanvasToolbar toolbar;
    toolbar.setOivCanvas(&canvas);
    toolbar.initialize();
    canvas.addDUI(&toolbar);
    toolbar.getTopLevelDialog()->show();
    SoWin::mainLoop();
}

// The only file in `folder`, or an empty path.
fs::path onlyFileIn(const fs::path& folder) {
    std::error_code error;
    fs::path found;
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        found = entry.path();
        ++count;
    }
    return count == 1 ? found : fs::path();
}

} // namespace

ViewCanvas::ViewCanvas(const ViewOptions& options) : m_Options(options) {}

int ViewCanvas::run() {
    HWND window = DemoWindow::createMainWindow(kWindowTitle, m_Options.size);
    if (!window) {
        report("cannot create the window");
        return kCannotReadOrWrite;
    }
    SoWin::init(window);
    const int status = runInWindow(window);
    DemoWindow::closeAndDrainLoop(window);
    return status;
}

int ViewCanvas::runInWindow(HWND window) {
    OivCanvas canvas;
    canvas.initialize(m_Options.viewerType, window);
    if (!canvas.getOivViewer()) {
        report("cannot create the canvas");
        return kCannotReadOrWrite;
    }
    SoWin::show(window);
    return present(canvas);
}

int ViewCanvas::present(OivCanvas& canvas) {
    if (!checkZScale(canvas)) {
        report("--zscale " + m_Options.zScaleText +
               " is not one of the canvas's Z scales: " + tableOfZScales(canvas));
        std::fputs(ViewOptions::usage(), stderr);
        return kBadCommandLine;
    }
    SoSeparator* content = new SoSeparator;
    content->ref();
    const bool read = readContent(canvas, content);
    if (read)
        canvas.getOivSceneManager()->getRoot3D()->addChild(content);
    content->unref();
    if (!read || !decorate(canvas))
        return kCannotReadOrWrite;
    frame(canvas);

    const bool writeOnly = !m_Options.picture.empty() || !m_Options.video.empty();
    if (!writeOnly && OivWin32IsOnScreen()) {
        showUntilClosed(canvas);
        return kDone;
    }
    const std::string picture = writeOnly ? m_Options.picture : std::string(kDefaultPicture);
    if (!picture.empty() && !DemoScene::writePicture(canvas, picture.c_str())) {
        report("cannot write " + picture);
        return kCannotReadOrWrite;
    }
    if (!m_Options.video.empty() && !recordVideo(canvas))
        return kCannotReadOrWrite;
    return kDone;
}

bool ViewCanvas::checkZScale(const OivCanvas& canvas) const {
    if (!m_Options.hasZScale)
        return true;
    const SoMFFloat& values = *canvas.getZScales();
    // A number read as text is the same float as the table's value written as text.
    for (int i = 0; i < values.getNum(); ++i)
        if (values[i] == m_Options.zScale)
            return true;
    return false;
}

// Every file into `content`, each as a separator of its own; the first that fails ends the
// reading, and `content` is then dropped whole, so that no file is shown half-imported.
bool ViewCanvas::readContent(OivCanvas& canvas, SoSeparator* content) const {
    if (m_Options.files.empty()) {
        content->addChild(DemoScene::createContent());
        return true;
    }
    for (const std::string& file : m_Options.files) {
        std::string reason = unreadableReason(file);
        if (reason.empty()) {
            ReadErrorCatcher errors;
            if (canvas.import3DGraphicFile(file.c_str(), content))
                continue;
            reason = errors.firstError().empty()
                         ? "not an Open Inventor or VRML 2.0 file, or damaged"
                         : errors.firstError();
        }
        cannotRead(file, reason);
        return false;
    }
    return true;
}

bool ViewCanvas::decorate(OivCanvas& canvas) const {
    OivSceneManager* manager = canvas.getOivSceneManager();
    if (m_Options.background == OivBaseSceneManager::IMAGE) {
        const std::string reason = unreadableReason(m_Options.backgroundImage);
        if (!reason.empty()) {
            cannotRead(m_Options.backgroundImage, reason);
            return false;
        }
        manager->setBackgroundImage(m_Options.backgroundImage.c_str());
    }
    manager->setBackground(m_Options.background);
    manager->setCompassVisible(m_Options.compass);
    manager->setHorizonGiroVisible(m_Options.giro);
    manager->enableStickyCursor(m_Options.stickyCursor);
    if (m_Options.hasZScale)
        manager->setGlobalZScale(m_Options.zScale);
    return true;
}

void ViewCanvas::frame(OivCanvas& canvas) const {
    SoWinFullViewer* viewer = canvas.getOivViewer();
    viewer->viewAll();
    if (m_Options.viewerType == OivBaseCanvas::CURVE_VIEWER)
        trackFirstCurve(*static_cast<OivWinCurveViewer*>(viewer));
}

// The recorder names its files itself, so it records into a folder of its own beside the video
// asked for, and the one file it wrote is moved to that name.
bool ViewCanvas::recordVideo(OivCanvas& canvas) const {
    const fs::path target = fs::absolute(m_Options.video);
    std::string pattern = target.string() + kRecordingFolderSuffix;
    if (!mkdtemp(pattern.data())) {
        report("cannot write " + m_Options.video + ": " + std::strerror(errno));
        return false;
    }
    const fs::path folder = pattern;
    std::error_code error;
    const fs::path previous = fs::current_path(error);
    fs::current_path(folder, error);
    if (error) {
        fs::remove_all(folder, error);
        report("cannot write " + m_Options.video);
        return false;
    }
    const bool recorded = m_Options.flight ? recordFlight(canvas) : recordOrbit(canvas);
    fs::current_path(previous, error);

    const fs::path video = onlyFileIn(folder);
    const bool moved = recorded && !video.empty() && (fs::rename(video, target, error), !error);
    fs::remove_all(folder, error);
    if (!moved)
        report("cannot write " + m_Options.video);
    return moved;
}

// One full turn of the camera around the vertical through its focal point, a frame per step.
bool ViewCanvas::recordOrbit(OivCanvas& canvas) const {
    const int frames = std::max(1, int(std::lround(m_Options.orbitSeconds * kFramesPerSecond)));
    OivVideoRecorder* recorder = canvas.getVideoRecorder();
    recorder->start(m_Options.size, kVideoQuality);
    if (!recorder->hasRecording())
        return false;
    ViewProgress progress("recording " + m_Options.video, frames);
    for (int i = 0; i < frames; ++i) {
        DemoRecording::orbitStep(canvas.getOivViewer()->getCamera(), kFullTurnDegrees / frames);
        DemoRecording::runPendingWork();
        progress.advance();
    }
    recorder->stop();
    return true;
}

// The tracking point from the first to the last point of the curve, a frame at each.
bool ViewCanvas::recordFlight(OivCanvas& canvas) const {
    const auto* viewer = static_cast<const OivWinCurveViewer*>(canvas.getOivViewer());
    const int points = viewer->getNumResampledPoints();
    if (points < 1)
        return false;
    ViewProgress progress("recording " + m_Options.video, points);
    auto advance = [](void* data, float done) {
        static_cast<ViewProgress*>(data)->advanceTo(done);
        return true;
    };
    return canvas.getVideoRecorder()->recordFlight(0, points - 1, 1, advance, &progress);
}
