// A host's checks of the installed package, without SoWin::init:
//   1. its smallest window program: one top-level window and its message loop, which ends when
//      the window is closed;
//   2. the companion library's node classes, registered by OivTav::init before any node exists,
//      read from a scene file;
//   3. the picture the canvas host wrote (argument): the cone lit in the middle, the black
//      background in the corners;
//   4. a binary file that only looks damaged (an integer larger than the file) imports: the
//      library's trial-read helper was found and ran from the installed prefix.
// With --view PICTURE WIDTH HEIGHT it checks only a picture oivwintav-view wrote: its size, and
// that it shows more than one colour.
// Exits with 0 only if every step behaved as expected.
#include <oivwin32.h>
#include <windows.h>

#include "canvas/OivSceneFile.h"
#include "tav/OivTav.h"

#include <Inventor/SbImage.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoOutput.h>
#include <Inventor/actions/SoWriteAction.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

namespace {

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool fail(const char* what) {
    std::fprintf(stderr, "consumer: %s\n", what);
    return false;
}

bool windowLoopEndsWithQuit() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "ConsumerWindow";
    if (!RegisterClassA(&wc))
        return fail("RegisterClassA failed");
    HWND hwnd = CreateWindowExA(0, "ConsumerWindow", "Consumer", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 240, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return fail("CreateWindowExA failed");
    ShowWindow(hwnd, SW_SHOW);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);

    MSG msg;
    BOOL result;
    while ((result = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (result != 0 || msg.message != WM_QUIT || msg.wParam != 0)
        return fail("the loop did not end with WM_QUIT and code 0");
    if (IsWindow(hwnd))
        return fail("closing did not destroy the window");
    std::puts("consumer: window created, closed, loop ended with WM_QUIT");
    return true;
}

bool companionNodesAreRead() {
    OivTav::init();
    const char* const names[] = {"OivCompass", "OivGlobalZScale", "OivPipe", "OivScreenPosition"};
    // Four nodes at the top: readAll puts them below a separator of its own.
    const char scene[] = "#Inventor V2.1 ascii\n"
                         "OivCompass { type HORIZON_GIRO } OivGlobalZScale { } OivPipe { } "
                         "OivScreenPosition { }\n";
    SoInput input;
    input.setBuffer(scene, std::strlen(scene));
    SoSeparator* root = SoDB::readAll(&input);
    if (!root)
        return fail("the scene with the companion nodes was not read");
    root->ref();
    bool allRead = root->getNumChildren() == int(std::size(names));
    for (int i = 0; allRead && i < root->getNumChildren(); ++i)
        allRead = root->getChild(i)->getTypeId() == SoType::fromName(names[i]);
    root->unref();
    if (!allRead)
        return fail("the companion nodes were not read as their own classes");
    std::puts("consumer: companion nodes registered by OivTav::init and read from a file");
    return true;
}

bool pictureShowsTheCone(const char* path) {
    SbImage image;
    if (!image.readFile(path))
        return fail("the canvas host's picture cannot be read");
    SbVec2s size;
    int components = 0;
    const unsigned char* pixels = image.getValue(size, components);
    if (!pixels || size[0] < 16 || size[1] < 16 || components < 3)
        return fail("the canvas host's picture is empty");
    auto brightness = [&](int x, int y) {
        const unsigned char* p = pixels + (size_t(y) * size[0] + x) * components;
        return p[0] + p[1] + p[2];
    };
    if (brightness(size[0] / 2, size[1] / 2) < 3 * 64)
        return fail("no lit cone in the middle of the picture");
    if (brightness(0, 0) != 0 || brightness(size[0] - 1, size[1] - 1) != 0)
        return fail("the picture's corners are not the black background");
    std::printf("consumer: the host's %dx%d picture shows the cone\n", size[0], size[1]);
    return true;
}

// A picture oivwintav-view wrote: `width` × `height` pixels of more than a background.
bool pictureShowsContent(const char* path, int width, int height) {
    SbImage image;
    SbVec2s size;
    int components = 0;
    const unsigned char* pixels = image.readFile(path) ? image.getValue(size, components) : nullptr;
    if (!pixels || size[0] != width || size[1] != height || components < 3)
        return fail("oivwintav-view's picture is missing or not of the asked size");
    std::set<std::array<unsigned char, 3>> colours;
    for (int i = 0; i < width * height; ++i) {
        const unsigned char* p = pixels + i * components;
        colours.insert({p[0], p[1], p[2]});
    }
    if (colours.size() < 2)
        return fail("oivwintav-view's picture is one colour");
    std::printf("consumer: oivwintav-view's %dx%d picture shows the scene\n", width, height);
    return true;
}

bool suspectFileImports(const std::string& path) {
    constexpr int kLargeInteger = 1 << 20;
    SoSeparator* scene = new SoSeparator;
    scene->ref();
    SoSwitch* choice = new SoSwitch;
    choice->whichChild = kLargeInteger;
    scene->addChild(choice);
    SoOutput output;
    const bool written = output.openFile(path.c_str());
    output.setBinary(TRUE);
    SoWriteAction write(&output);
    write.apply(scene);
    output.closeFile();
    scene->unref();
    SoSeparator* parent = new SoSeparator;
    parent->ref();
    const bool read = written && OivSceneFile::read(path.c_str(), parent);
    const bool whole =
        read && parent->getNumChildren() == 1 &&
        static_cast<SoGroup*>(parent->getChild(0))->getNumChildren() == 1 &&
        static_cast<SoSwitch*>(static_cast<SoGroup*>(parent->getChild(0))->getChild(0))
                ->whichChild.getValue() == kLargeInteger;
    parent->unref();
    std::remove(path.c_str());
    if (!whole)
        return fail("a valid binary file with a large integer was not imported whole");
    std::puts("consumer: a suspect file was read by the installed trial-read helper");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool viewPicture = argc == 5 && std::strcmp(argv[1], "--view") == 0;
    if (argc != 2 && !viewPicture) {
        fail("usage: consumer host.png | consumer --view view.png width height");
        return 1;
    }
    if (viewPicture)
        return pictureShowsContent(argv[2], std::atoi(argv[3]), std::atoi(argv[4])) ? 0 : 1;
    const bool ok = windowLoopEndsWithQuit() & companionNodesAreRead() &
                    pictureShowsTheCone(argv[1]) & suspectFileImports(std::string(argv[1]) + ".iv");
    return ok ? 0 : 1;
}
