#include "SoWinImGuiContext.h"

#include "X11WindowSystem.h"

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <algorithm>
#include <fstream>

namespace {

// The desktop's usual size for the text of dialogs and menus.
constexpr float kFontPoints = 10.0f;
constexpr float kPointsPerInch = 72.0f;
// Beyond these a screen's reported size is not believed.
constexpr int kFewestDotsPerInch = 72;
constexpr int kMostDotsPerInch = 288;
// ImGui animates nothing we draw; it only needs a positive step between frames.
constexpr float kFrameStep = 1.0f / 60.0f;
constexpr ImGuiWindowFlags kWholeWindow = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                          ImGuiWindowFlags_NoSavedSettings |
                                          ImGuiWindowFlags_NoBringToFrontOnFocus;

int screenDotsPerInch() {
    const oivwin32::X11WindowSystem* windows = oivwin32::X11WindowSystem::instance();
    return std::clamp(windows ? windows->dotsPerInch() : kFewestDotsPerInch, kFewestDotsPerInch,
                      kMostDotsPerInch);
}

// One atlas for every window: the font is rasterised once. It lives as long as the process,
// as windows may be drawn until it ends.
ImFontAtlas* sharedFonts() {
    static ImFontAtlas* atlas = [] {
        auto* fonts = new ImFontAtlas;
        const bool present = std::ifstream(SoWinImGuiContext::kFontFile).good();
        if (!present ||
            !fonts->AddFontFromFileTTF(SoWinImGuiContext::kFontFile,
                                       SoWinImGuiContext::fontPixelsFor(screenDotsPerInch())))
            fonts->AddFontDefault();
        return fonts;
    }();
    return atlas;
}

int mouseButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return ImGuiMouseButton_Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return ImGuiMouseButton_Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return ImGuiMouseButton_Middle;
    default:
        return -1;
    }
}

} // namespace

SoWinImGuiContext::Scope::Scope(const SoWinImGuiContext& context)
    : m_Previous(ImGui::GetCurrentContext()) {
    ImGui::SetCurrentContext(context.m_Context);
}

SoWinImGuiContext::Scope::~Scope() {
    ImGui::SetCurrentContext(m_Previous);
}

SoWinImGuiContext::SoWinImGuiContext() : m_Context(ImGui::CreateContext(sharedFonts())) {
    Scope scope(*this);
    ImGui::GetIO().IniFilename = nullptr; // no settings file beside the host program
    ImGui::StyleColorsLight();
}

SoWinImGuiContext::~SoWinImGuiContext() {
    {
        Scope scope(*this);
        // The renderer frees its font texture in the context it made it in.
        if (m_RendererReady)
            ImGui_ImplOpenGL2_Shutdown();
    }
    ImGui::DestroyContext(m_Context);
}

float SoWinImGuiContext::fontPixelsFor(int dotsPerInch) {
    return float(int(kFontPoints * float(dotsPerInch) / kPointsPerInch + 0.5f));
}

void SoWinImGuiContext::beginFrame(const SbVec2s& size) {
    if (!m_RendererReady)
        m_RendererReady = ImGui_ImplOpenGL2_Init();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(size[0], size[1]);
    io.DeltaTime = kFrameStep;
    ImGui_ImplOpenGL2_NewFrame();
    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##window", nullptr, kWholeWindow);
}

void SoWinImGuiContext::endFrame(const SbVec2s& size) {
    ImGui::End();
    ImGui::Render();
    const ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    glViewport(0, 0, size[0], size[1]);
    glClearColor(background.x, background.y, background.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

bool SoWinImGuiContext::isPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

bool SoWinImGuiContext::feed(const MSG& msg) {
    Scope scope(*this);
    ImGuiIO& io = ImGui::GetIO();
    if (msg.message == WM_MOUSEWHEEL) {
        io.MouseWheel += float(GET_WHEEL_DELTA_WPARAM(msg.wParam)) / WHEEL_DELTA;
        return true;
    }
    const int button = mouseButtonOf(msg.message);
    if (msg.message != WM_MOUSEMOVE && button < 0)
        return false;
    io.MousePos = ImVec2(float(GET_X_LPARAM(msg.lParam)), float(GET_Y_LPARAM(msg.lParam)));
    if (button >= 0)
        io.MouseDown[button] = isPress(msg.message);
    return true;
}
