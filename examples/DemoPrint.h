// The demo's printed page: the canvas printed onto an A4 page of a 300-dpi printer, the way a host
// prints, and the page written to a PNG file, the way a host on this platform prints to a file.
#ifndef OIVWINTAV_EXAMPLES_DEMOPRINT_H
#define OIVWINTAV_EXAMPLES_DEMOPRINT_H

class OivCanvas;

class DemoPrint {
public:
    static constexpr int kDotsPerInch = 300;
    static constexpr const char* kPageFile = "oivwintav-demo-print.png";

    // Prints the canvas's view and writes the page to kPageFile in the folder of `picturePath`,
    // saying so on standard output; false (with a message on standard error) if either fails.
    static bool writePrintedPage(OivCanvas& canvas, const char* picturePath);

    DemoPrint() = delete;
};

#endif // OIVWINTAV_EXAMPLES_DEMOPRINT_H
