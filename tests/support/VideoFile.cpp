#include "support/VideoFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace testsupport {

namespace {

// The FFmpeg objects of one playback, freed on every path.
struct Player {
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int stream = -1;

    ~Player() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
    }

    bool open(const std::string& path, VideoFile& file) {
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(format, nullptr) < 0)
            return false;
        const AVCodec* codec = nullptr;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (stream < 0 || !codec || !(decoder = avcodec_alloc_context3(codec)) ||
            avcodec_parameters_to_context(decoder, format->streams[stream]->codecpar) < 0 ||
            avcodec_open2(decoder, codec, nullptr) < 0)
            return false;
        file.codec = codec->name;
        file.width = decoder->width;
        file.height = decoder->height;
        return true;
    }

    void keepPicture(VideoFile& file) {
        std::vector<unsigned char> rgb(size_t(frame->width) * frame->height * 3);
        uint8_t* target[] = {rgb.data()};
        const int targetStride[] = {frame->width * 3};
        SwsContext* converter = sws_getContext(
            frame->width, frame->height, AVPixelFormat(frame->format), frame->width, frame->height,
            AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        sws_scale(converter, frame->data, frame->linesize, 0, frame->height, target, targetStride);
        sws_freeContext(converter);
        file.pictures.push_back(std::move(rgb));
    }

    void receiveFrames(VideoFile& file) {
        while (avcodec_receive_frame(decoder, frame) >= 0)
            keepPicture(file);
    }

    void decodeAll(VideoFile& file) {
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == stream && avcodec_send_packet(decoder, packet) >= 0)
                receiveFrames(file);
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        receiveFrames(file);
    }
};

} // namespace

std::string videoName(int index) {
    return "Zorvan3D_" + std::to_string(index) + ".mpg";
}

double meanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size() || a.empty())
        return 255.0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

Rgb VideoFile::at(int frame, int x, int y) const {
    const unsigned char* p = &pictures[size_t(frame)][(size_t(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

VideoFile playVideoFile(const std::string& path) {
    VideoFile file;
    Player player;
    if (!player.open(path, file))
        return file;
    file.opened = true;
    player.decodeAll(file);
    return file;
}

ScratchFolder::ScratchFolder() {
    char previous[PATH_MAX];
    if (getcwd(previous, sizeof(previous)))
        m_Previous = previous;
    std::string pattern = (std::filesystem::temp_directory_path() / "oivwintav-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
        m_Path = pattern;
        if (chdir(m_Path.c_str()) != 0)
            std::abort();
    }
}

ScratchFolder::~ScratchFolder() {
    if (!m_Previous.empty() && chdir(m_Previous.c_str()) != 0)
        std::abort();
    std::error_code ignored;
    if (!m_Path.empty())
        std::filesystem::remove_all(m_Path, ignored);
}

std::vector<std::string> ScratchFolder::fileNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_Path, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace testsupport
