#include "SoMPEGEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// The quantiser range a compression rate spans. 1 is legal but only makes files larger than 2
// with no visible gain; 31 is the coarsest MPEG-1 allows.
constexpr int kFinestQuantiser = 2;
constexpr int kCoarsestQuantiser = 31;

// A key frame every half second at 25 frames per second, so a player can seek in a recording;
// no B-frames, so each picture leaves the encoder as it is given and a stopped recording holds
// every picture recorded so far.
constexpr int kPicturesPerGroup = 12;

// The picture rates an MPEG-1 sequence header can carry, for av_find_nearest_q_idx.
constexpr AVRational kMpeg1FrameRates[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1},
                                           {60000, 1001}, {50, 1}, {60, 1}, {0, 0}};

constexpr const char* kProgramStreamMuxer = "mpeg";

// The decoder buffer the program stream declares for the video: the largest an MPEG-1 stream can
// name (1023 units of 16 kbit), so that pictures of the finest quantiser fit at every size.
constexpr int kVideoBufferBits = 1023 * 16384;

// BT.601 studio-swing RGB to Y'CbCr in 8-bit fixed point, the conversion MPEG-1 players undo.
constexpr int kYR = 66, kYG = 129, kYB = 25, kYOffset = 16;
constexpr int kUR = -38, kUG = -74, kUB = 112;
constexpr int kVR = 112, kVG = -94, kVB = -18;
constexpr int kChromaOffset = 128;
constexpr int kFixedShift = 8;
// Chroma is taken from the sum of a 2 × 2 block: two more bits of fixed point.
constexpr int kBlockShift = kFixedShift + 2;

// Byte offsets of a pixel's colours: pictures come as B, G, R (and A).
constexpr int kBlue = 0, kGreen = 1, kRed = 2;

inline uint8_t lumaOf(const uint8_t* pixel) {
    const int weighted = kYR * pixel[kRed] + kYG * pixel[kGreen] + kYB * pixel[kBlue];
    return uint8_t(((weighted + (1 << (kFixedShift - 1))) >> kFixedShift) + kYOffset);
}

// The two chroma samples of one 2 × 2 block, from its summed colours. The offset is added before
// the shift, which keeps the sum positive, so the shift rounds as it does for luma.
inline void storeChroma(int red, int green, int blue, uint8_t* u, uint8_t* v) {
    constexpr int kBias = (kChromaOffset << kBlockShift) + (1 << (kBlockShift - 1));
    *u = uint8_t((kUR * red + kUG * green + kUB * blue + kBias) >> kBlockShift);
    *v = uint8_t((kVR * red + kVG * green + kVB * blue + kBias) >> kBlockShift);
}

// Two rows of pixels into two rows of luma and one of each chroma plane, reading each pixel
// once; an odd last column is its own pair. The rows of pixels may be the same row; the rows
// written must not overlap (the compiler vectorises the loop on that promise).
template <int kBytesPerPixel>
void convertRowPair(const uint8_t* __restrict top, const uint8_t* __restrict bottom,
                    uint8_t* __restrict lumaTop, uint8_t* __restrict lumaBottom,
                    uint8_t* __restrict u, uint8_t* __restrict v, int width) {
    constexpr int kNext = kBytesPerPixel;
    const int pairs = width / 2;
    for (int x = 0; x < pairs; ++x) {
        const uint8_t* a = top + 2 * x * kBytesPerPixel;
        const uint8_t* b = bottom + 2 * x * kBytesPerPixel;
        lumaTop[2 * x] = lumaOf(a);
        lumaTop[2 * x + 1] = lumaOf(a + kNext);
        lumaBottom[2 * x] = lumaOf(b);
        lumaBottom[2 * x + 1] = lumaOf(b + kNext);
        storeChroma(a[kRed] + a[kNext + kRed] + b[kRed] + b[kNext + kRed],
                    a[kGreen] + a[kNext + kGreen] + b[kGreen] + b[kNext + kGreen],
                    a[kBlue] + a[kNext + kBlue] + b[kBlue] + b[kNext + kBlue], u + x, v + x);
    }
    if (width % 2) {
        const uint8_t* a = top + 2 * pairs * kBytesPerPixel;
        const uint8_t* b = bottom + 2 * pairs * kBytesPerPixel;
        lumaTop[2 * pairs] = lumaOf(a);
        lumaBottom[2 * pairs] = lumaOf(b);
        storeChroma(2 * (a[kRed] + b[kRed]), 2 * (a[kGreen] + b[kGreen]), 2 * (a[kBlue] + b[kBlue]),
                    u + pairs, v + pairs);
    }
}

// B, G, R(, A) pixels into a YUV 4:2:0 frame of their size in one pass, chroma from the mean of
// each 2 × 2 block; an odd last row is its own pair, its second luma row going to `spareRow` (of
// the frame's width). About three times as fast as libswscale's general scaler, which the
// encoder would otherwise need for four bytes per pixel.
template <int kBytesPerPixel>
void convertPicture(const uint8_t* pixels, int stride, AVFrame* frame, uint8_t* spareRow) {
    const int width = frame->width, height = frame->height;
    for (int y = 0; y < height; y += 2) {
        const uint8_t* top = pixels + std::ptrdiff_t(y) * stride;
        uint8_t* lumaTop = frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0];
        const bool paired = y + 1 < height;
        const std::ptrdiff_t row = y / 2;
        convertRowPair<kBytesPerPixel>(top, paired ? top + stride : top, lumaTop,
                                       paired ? lumaTop + frame->linesize[0] : spareRow,
                                       frame->data[1] + row * frame->linesize[1],
                                       frame->data[2] + row * frame->linesize[2], width);
    }
}

AVRational mpeg1FrameRateNear(int framesPerSecond) {
    const AVRational wanted = {std::max(framesPerSecond, 1), 1};
    return kMpeg1FrameRates[av_find_nearest_q_idx(wanted, kMpeg1FrameRates)];
}

} // namespace

// The FFmpeg objects of one open file. Its destructor frees whatever exists, on every path; the
// file itself is finalised by SoMPEGEncoder::close before that.
struct SoMPEGEncoder::Stream {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* video = nullptr; // owned by `format`
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int bytesPerPixel = 3;
    std::vector<uint8_t> spareLumaRow; // the luma an odd last row of pixels pairs with
    int quality = 0;                   // the fixed quantiser as a lambda, given with every picture
    int64_t nextPts = 0;
    std::string fileName;
    // The file's size after the last picture written in full, and whether anything failed since.
    int64_t completeSize = 0;
    bool failed = false;

    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    bool configureCodec(const Settings& settings) {
        const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
        if (!encoder || !(codec = avcodec_alloc_context3(encoder)))
            return false;
        const AVRational rate = mpeg1FrameRateNear(settings.framesPerSecond);
        codec->width = settings.width;
        codec->height = settings.height;
        codec->framerate = rate;
        codec->time_base = av_inv_q(rate);
        codec->pix_fmt = AV_PIX_FMT_YUV420P;
        codec->gop_size = kPicturesPerGroup;
        codec->max_b_frames = 0;
        codec->flags |= AV_CODEC_FLAG_QSCALE;
        quality = quantiserOf(settings.compressionRate) * FF_QP2LAMBDA;
        codec->global_quality = quality;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        return avcodec_open2(codec, encoder, nullptr) >= 0;
    }

    // The stream's parameters and the decoder buffer size the program stream muxer sizes its
    // packets by. A fixed quantiser has no rate control to declare a buffer, so it is given here.
    bool configureVideoStream() {
        if (!(video = avformat_new_stream(format, nullptr)))
            return false;
        video->time_base = codec->time_base;
        if (avcodec_parameters_from_context(video->codecpar, codec) < 0)
            return false;
        size_t size = 0;
        AVCPBProperties* buffer = av_cpb_properties_alloc(&size);
        if (!buffer)
            return false;
        buffer->buffer_size = kVideoBufferBits;
        if (av_stream_add_side_data(video, AV_PKT_DATA_CPB_PROPERTIES,
                                    reinterpret_cast<uint8_t*>(buffer), size) < 0) {
            av_free(buffer);
            return false;
        }
        return true;
    }

    bool allocatePictures(const Settings& settings) {
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        if (!frame || !packet)
            return false;
        frame->format = codec->pix_fmt;
        frame->width = codec->width;
        frame->height = codec->height;
        bytesPerPixel = settings.bytesPerPixel;
        spareLumaRow.resize(size_t(settings.width));
        return av_frame_get_buffer(frame, 0) >= 0;
    }

    bool open(const char* fileName, const Settings& settings) {
        if (avformat_alloc_output_context2(&format, nullptr, kProgramStreamMuxer, fileName) < 0)
            return false;
        if (!configureCodec(settings) || !configureVideoStream() || !allocatePictures(settings))
            return false;
        if (avio_open(&format->pb, fileName, AVIO_FLAG_WRITE) < 0)
            return false;
        if (avformat_write_header(format, nullptr) < 0) {
            avio_closep(&format->pb);
            std::remove(fileName);
            return false;
        }
        this->fileName = fileName;
        return flushed();
    }

    // Writes what the file's buffer holds, so that a failing disk is noticed at the picture that
    // met it and the file's size is known after every picture.
    bool flushed() {
        avio_flush(format->pb);
        if (format->pb->error < 0)
            return false;
        completeSize = avio_tell(format->pb);
        return true;
    }

    // Hands every packet the encoder has ready to the muxer.
    bool writePackets() {
        int result;
        while ((result = avcodec_receive_packet(codec, packet)) >= 0) {
            av_packet_rescale_ts(packet, codec->time_base, video->time_base);
            packet->stream_index = video->index;
            // Takes the packet's data, whatever the result.
            if (av_interleaved_write_frame(format, packet) < 0)
                return false;
        }
        return result == AVERROR(EAGAIN) || result == AVERROR_EOF;
    }

    bool encode(const uint8_t* pixels, int stride) {
        if (av_frame_make_writable(frame) < 0)
            return false;
        if (bytesPerPixel == 4)
            convertPicture<4>(pixels, stride, frame, spareLumaRow.data());
        else
            convertPicture<3>(pixels, stride, frame, spareLumaRow.data());
        frame->pts = nextPts++;
        frame->quality = quality;
        if (failed || avcodec_send_frame(codec, frame) < 0 || !writePackets() || !flushed())
            failed = true;
        return !failed;
    }

    // After a failure the file is cut back to where the last picture written in full left it: a
    // player reads it to that point, where a half-written pack at its end could stop it earlier.
    void finish() {
        bool complete = !failed && avcodec_send_frame(codec, nullptr) >= 0 && writePackets();
        complete = av_write_trailer(format) >= 0 && complete;
        avio_flush(format->pb);
        complete = complete && format->pb->error >= 0;
        avio_closep(&format->pb);
        if (!complete) {
            // Should the cut fail, the file stays as written: it still plays, up to its damage.
            [[maybe_unused]] const int cut = truncate(fileName.c_str(), completeSize);
        }
    }
};

SoMPEGEncoder::SoMPEGEncoder() : m_NumFramesEncoded(0) {}

SoMPEGEncoder::~SoMPEGEncoder() {
    close();
}

bool SoMPEGEncoder::open(const char* fileName, const Settings& settings) {
    close();
    m_NumFramesEncoded = 0;
    if (!fileName || !*fileName || settings.width < 1 || settings.height < 1 ||
        (settings.bytesPerPixel != 3 && settings.bytesPerPixel != 4))
        return false;
    std::unique_ptr<Stream> stream(new Stream);
    if (!stream->open(fileName, settings))
        return false;
    m_Stream = std::move(stream);
    return true;
}

bool SoMPEGEncoder::isOpen() const {
    return m_Stream != nullptr;
}

bool SoMPEGEncoder::encode(const uint8_t* pixels, int stride) {
    if (!m_Stream || !pixels || !m_Stream->encode(pixels, stride))
        return false;
    ++m_NumFramesEncoded;
    return true;
}

unsigned int SoMPEGEncoder::getNumFramesEncoded() const {
    return m_NumFramesEncoded;
}

void SoMPEGEncoder::close() {
    if (!m_Stream)
        return;
    m_Stream->finish();
    m_Stream.reset();
}

int SoMPEGEncoder::quantiserOf(float compressionRate) {
    const float rate = clampedRate(compressionRate);
    return kFinestQuantiser + int(std::lround(rate * (kCoarsestQuantiser - kFinestQuantiser)));
}

float SoMPEGEncoder::clampedRate(float compressionRate) {
    return std::clamp(std::isnan(compressionRate) ? 0.0f : compressionRate, 0.0f, 1.0f);
}
