// Reading back a video file the way a player does (libavformat, libavcodec), and a scratch
// folder for tests that write files.
#ifndef OIVWINTAV_TESTS_VIDEOFILE_H
#define OIVWINTAV_TESTS_VIDEOFILE_H

#include "support/RenderedImage.h"
#include "video/OivVideoRecorder.h"

#include <string>
#include <vector>

namespace testsupport {

// What a player finds in a video file: whether it opens, the codec of its video stream (by
// libavcodec's name, "mpeg1video" for MPEG-1), the picture size, and every picture decoded, in
// order, as RGB bytes with the top row first.
struct VideoFile {
    bool opened = false;
    std::string codec;
    int width = 0, height = 0;
    std::vector<std::vector<unsigned char>> pictures;

    int frameCount() const { return int(pictures.size()); }
    // Pixel (x, y) of a picture, counted from the top left corner.
    Rgb at(int frame, int x, int y) const;
    Rgb centre(int frame) const { return at(frame, width / 2, height / 2); }
};
VideoFile playVideoFile(const std::string& path);

// Mean difference per colour channel between two pictures of the same layout (a decoded frame
// and what a canvas shows, say); 255 when their sizes differ or they are empty.
double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// The video recorder's file of number `index`, and the number of the last file name any recorder
// of the process tried.
std::string videoName(int index);
struct VideoFileIndex : OivVideoRecorder {
    static int last() { return m_FileIndex; }
};

// A fresh empty folder that is the current folder for the object's lifetime, removed with its
// contents afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_Path; }
    std::string file(const std::string& name) const { return m_Path + "/" + name; }
    // Names of the files in the folder, sorted.
    std::vector<std::string> fileNames() const;

private:
    std::string m_Path;
    std::string m_Previous;
};

} // namespace testsupport

#endif // OIVWINTAV_TESTS_VIDEOFILE_H
