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

    void keepCentre(VideoFile& file) {
        uint8_t rgb[3];
        uint8_t* target[] = {rgb};
        int targetStride[] = {3};
        // Convert the centre row only, then pick the middle pixel of it.
        const int row = frame->height / 2;
        const uint8_t* source[] = {frame->data[0] + row * frame->linesize[0],
                                   frame->data[1] + (row / 2) * frame->linesize[1],
                                   frame->data[2] + (row / 2) * frame->linesize[2]};
        SwsContext* converter =
            sws_getContext(1, 1, AVPixelFormat(frame->format), 1, 1, AV_PIX_FMT_RGB24, SWS_POINT,
                           nullptr, nullptr, nullptr);
        const int column = frame->width / 2;
        const uint8_t* centre[] = {source[0] + column, source[1] + column / 2,
                                   source[2] + column / 2};
        sws_scale(converter, centre, frame->linesize, 0, 1, target, targetStride);
        sws_freeContext(converter);
        file.centres.push_back({rgb[0], rgb[1], rgb[2]});
    }

    void receiveFrames(VideoFile& file) {
        while (avcodec_receive_frame(decoder, frame) >= 0)
            keepCentre(file);
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
