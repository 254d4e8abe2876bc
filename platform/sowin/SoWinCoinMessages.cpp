#include "SoWinCoinMessages.h"

#include <Inventor/C/base/string.h>
#include <Inventor/C/errors/debugerror.h>
#include <Inventor/C/errors/error.h>

#include <cstring>

namespace {

// Coin's OpenGL set-up asks whether its (GLX) context renders directly. Where the source and
// the text both match, it is that probe and nothing else.
const char* const kProbeSource = "glxglue_isdirect";
const char* const kProbeText = "Couldn't get current GLX context";

struct Forward {
    cc_debugerror_cb* handler = nullptr;
    void* data = nullptr;
};

Forward& previous() {
    static Forward forward;
    return forward;
}

bool isGlxProbeWarning(const cc_debugerror* error) {
    const cc_string* text = cc_error_get_debug_string(&error->super);
    const char* message = text ? cc_string_get_text(text) : nullptr;
    return message && std::strstr(message, kProbeSource) && std::strstr(message, kProbeText);
}

void filterCB(const cc_debugerror* error, void*) {
    if (isGlxProbeWarning(error))
        return;
    const Forward& forward = previous();
    if (forward.handler)
        forward.handler(error, forward.data);
    else
        cc_error_default_handler_cb(&error->super, nullptr);
}

} // namespace

void SoWinCoinMessages::dropGlxProbeWarning() {
    if (cc_debugerror_get_handler_callback() == filterCB)
        return;
    Forward& forward = previous();
    forward.handler = cc_debugerror_get_handler(&forward.data);
    cc_debugerror_set_handler_callback(filterCB, nullptr);
}
