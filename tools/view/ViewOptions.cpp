#include "ViewOptions.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// An MPEG-1 picture is at most this wide and high, and a window this size is already larger
// than any screen; one limit keeps --png and --video agreeing.
constexpr long kMaxSide = 4095;

const char kUsage[] =
    "usage: oivwintav-view [options] [FILE...]\n"
    "Shows Open Inventor (.iv) and VRML 2.0 (.wrl) files in one canvas, with the canvas toolbar\n"
    "beside it, until the window is closed; with no FILE, the demo's terrain and well.\n"
    "Without a display, or with --png or --video, writes the picture or video and exits.\n"
    "\n"
    "  --plane                the plane viewer instead of the examiner\n"
    "  --curve                a curve canvas tracking the first line set or pipe found\n"
    "  --zscale F             the global Z scale, one of the canvas's table values\n"
    "  --background black|gradient|image FILE\n"
    "                         what is drawn behind the scene (default black)\n"
    "  --compass              show the compass\n"
    "  --giro                 show the horizon giro\n"
    "  --cursor               switch the sticky cursor on\n"
    "  --png OUT              write what the canvas shows to OUT as a PNG file and exit\n"
    "  --size WxH             the canvas's size in pixels (default 640x480)\n"
    "  --video OUT --orbit S  record one orbit of the camera lasting S seconds into OUT\n"
    "  --video OUT --flight   with --curve: record a flight along the whole curve into OUT,\n"
    "                         one frame per point of the curve\n"
    "  --help                 print this text\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 a bad command line.\n";

// A whole-string number, or false.
bool toFloat(const char* text, float& value) {
    char* end = nullptr;
    value = std::strtof(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

// "WxH" with both sides in [1, kMaxSide].
bool toSize(const char* text, SbVec2s& size) {
    char* end = nullptr;
    const long width = std::strtol(text, &end, 10);
    if (end == text || *end != 'x')
        return false;
    const char* heightText = end + 1;
    const long height = std::strtol(heightText, &end, 10);
    if (end == heightText || *end != '\0' || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide)
        return false;
    size.setValue(short(width), short(height));
    return true;
}

} // namespace

const char* ViewOptions::usage() {
    return kUsage;
}

bool ViewOptions::fail(const std::string& reason) {
    m_Error = reason;
    return false;
}

ViewOptions::Outcome ViewOptions::parse(int argc, const char* const* argv) {
    const char* const* end = argv + argc;
    for (const char* const* next = argv + 1; next != end;) {
        const std::string argument = *next++;
        if (argument == "--help")
            return Outcome::HELP;
        if (argument.rfind("--", 0) != 0) {
            files.push_back(argument);
            continue;
        }
        if (!parseOption(argument, next, end))
            return Outcome::BAD;
    }
    return checkCombination() ? Outcome::RUN : Outcome::BAD;
}

// `next` points past the option's name; an option with a value moves it past the value.
bool ViewOptions::parseOption(const std::string& name, const char* const*& next,
                              const char* const* end) {
    auto value = [&]() -> const char* { return next != end ? *next++ : nullptr; };
    if (name == "--plane" || name == "--curve") {
        const auto type =
            name == "--plane" ? OivBaseCanvas::PLANE_VIEWER : OivBaseCanvas::CURVE_VIEWER;
        if (viewerType != OivBaseCanvas::EXAMINER_VIEWER && viewerType != type)
            return fail("--plane and --curve exclude each other");
        viewerType = type;
    } else if (name == "--compass") {
        compass = true;
    } else if (name == "--giro") {
        giro = true;
    } else if (name == "--flight") {
        flight = true;
    } else if (name == "--cursor") {
        stickyCursor = true;
    } else if (name == "--zscale") {
        const char* text = value();
        if (!text || !toFloat(text, zScale))
            return fail("--zscale needs a number");
        hasZScale = true;
        zScaleText = text;
    } else if (name == "--background") {
        const char* kind = value();
        const std::string chosen = kind ? kind : "";
        if (chosen == "black") {
            background = OivBaseSceneManager::BLACK;
        } else if (chosen == "gradient") {
            background = OivBaseSceneManager::GRADIENT;
        } else if (chosen == "image") {
            const char* file = value();
            if (!file)
                return fail("--background image needs a file");
            background = OivBaseSceneManager::IMAGE;
            backgroundImage = file;
        } else {
            return fail("--background takes black, gradient or image FILE");
        }
    } else if (name == "--png" || name == "--video") {
        const char* file = value();
        if (!file || !*file)
            return fail(name + " needs a file name");
        (name == "--png" ? picture : video) = file;
    } else if (name == "--size") {
        const char* text = value();
        if (!text || !toSize(text, size))
            return fail("--size takes WxH, each from 1 to " + std::to_string(kMaxSide));
    } else if (name == "--orbit") {
        const char* text = value();
        if (!text || !toFloat(text, orbitSeconds) || orbitSeconds <= 0.0f)
            return fail("--orbit takes a number of seconds above 0");
    } else {
        return fail("unknown option " + name);
    }
    return true;
}

bool ViewOptions::checkCombination() {
    const bool orbit = orbitSeconds > 0.0f;
    if (orbit && flight)
        return fail("--orbit and --flight exclude each other");
    if (!video.empty() && !orbit && !flight)
        return fail("--video needs --orbit SECONDS or --flight");
    if (video.empty() && (orbit || flight))
        return fail(std::string(orbit ? "--orbit" : "--flight") + " needs --video OUT");
    if (flight && viewerType != OivBaseCanvas::CURVE_VIEWER)
        return fail("--flight needs --curve");
    return true;
}
