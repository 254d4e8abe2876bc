// oivwintav-view: scene files in a canvas, on a desktop or headless (see ViewOptions::usage).
#include "ViewCanvas.h"
#include "ViewOptions.h"

#include <cstdio>

int main(int argc, char** argv) {
    ViewOptions options;
    switch (options.parse(argc, argv)) {
    case ViewOptions::Outcome::HELP:
        std::fputs(ViewOptions::usage(), stdout);
        return ViewCanvas::kDone;
    case ViewOptions::Outcome::BAD:
        std::fprintf(stderr, "oivwintav-view: %s\n%s", options.error().c_str(),
                     ViewOptions::usage());
        return ViewCanvas::kBadCommandLine;
    case ViewOptions::Outcome::RUN:
        break;
    }
    return ViewCanvas(options).run();
}
