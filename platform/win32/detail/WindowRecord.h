// What the window table holds for one window and one window class.
#ifndef OIVWINTAV_WIN32_DETAIL_WINDOWRECORD_H
#define OIVWINTAV_WIN32_DETAIL_WINDOWRECORD_H

#include "MessageQueue.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace oivwin32 {

struct WindowClassRecord {
    ATOM atom = 0;
    std::string name;    // as registered, for GetClassNameA
    WNDCLASSA info{};    // lpszClassName points into `name`; lpszMenuName is not kept
    int windowCount = 0; // live windows of the class: such a class cannot be unregistered
};

struct WindowRecord {
    HWND handle = nullptr;
    std::string classKey; // the class's key in the class table
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    std::vector<BYTE> extraBytes;
    std::map<std::string, HANDLE> properties;
    HWND parent = nullptr;      // a child's parent, or the owner of an owned top-level window
    std::vector<HWND> children; // child and owned windows, in creation order
    POINT position{};           // a child's relative to its parent's client area, else screen
    SIZE size{};                // there is no non-client area: window size is client size
    DWORD style = 0;            // WS_VISIBLE and WS_DISABLED are the visibility and enabled state
    DWORD exStyle = 0;
    std::string title;
    bool needsPaint = false;
    bool destroying = false;             // WM_DESTROY has been sent
    std::shared_ptr<MessageQueue> queue; // of the creating thread

    bool isChild() const { return (style & WS_CHILD) != 0; }
};

} // namespace oivwin32

#endif
