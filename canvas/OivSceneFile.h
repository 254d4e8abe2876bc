// Reading scene files into a group and writing a subgraph out, for the canvas's import and export.
//
// Reading: Open Inventor (ASCII or binary) and VRML files through Coin's SoDB::readAll; the whole
// file becomes one separator appended to the parent. Writing: ASCII or binary Open Inventor, or a
// VRML 2.0 conversion (always UTF-8 text: VRML 2.0 has no binary encoding). A write goes to a
// temporary file beside the target and replaces the target only once it is complete, so a failed
// export never leaves a damaged or truncated file behind.
#ifndef OIVWINTAV_OIVSCENEFILE_H
#define OIVWINTAV_OIVSCENEFILE_H

class SoGroup;
class SoNode;

class OivSceneFile {
public:
    // Prints the input search directories, one per line, then reads `fileName` and appends what it
    // holds to `parent` as one separator. False, with `parent` unchanged, for a null parent, a file
    // that cannot be opened, one that does not read as a scene, and one whose scene contains itself
    // (a node used inside its own definition), which no viewer could draw. A file (or a file it
    // includes) whose numbers cannot be value counts is read again only once a helper process has
    // read it without harm; it prints nothing of that check when it then imports, and one line
    // naming it when it is refused.
    static bool read(const char* fileName, SoGroup* parent);

    // Writes `root` to `fileName`; false, with whatever was at `fileName` unchanged and no
    // temporary file left, when the folder does not exist, any part of the write fails or the
    // VRML conversion yields no scene.
    static bool write(const char* fileName, SoNode* root, bool binary, bool toVRML2);

    OivSceneFile() = delete;
};

#endif // OIVWINTAV_OIVSCENEFILE_H
