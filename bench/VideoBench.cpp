// What recording costs over FFmpeg itself, at the demo's 640 × 480:
// - the encoder path (picture conversion, MPEG-1 encoding, program stream muxing into a file)
//   beside raw libavcodec encoding the same pictures, already converted, in memory;
// - a recorded frame (drawing the demo scene off screen, reading it back, encoding it) beside
//   raw libavcodec encoding one picture;
// - live recording at 640 × 480 and 1920 × 1080: the camera orbits the demo scene, the canvas
//   redraws and the recorder adds a frame for each step, as fast as the loop allows, beside the
//   same orbit without recording.
// Counters: milliseconds per frame, frames per second, and throughput ratios to raw libavcodec.
#include "CurveDemo.h"
#include "DemoRecording.h"
#include "DemoScene.h"
#include "OivWinTav.h"
#include "SoMPEGEncoder.h"
#include "support/BenchHost.h"
#include "support/ThreadClock.h"

#include <Inventor/SoMPEGRenderer.h>
#include <Inventor/SoSceneManager.h>
#include <Inventor/Win/SoWin.h>
#include <windows.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The encoders run on the calling thread only; its processor time compares them fairly on a
// machine that other work keeps busy.
using benchhost::ProcessClock;
using benchhost::ThreadClock;

constexpr int kWidth = DemoScene::kWidth, kHeight = DemoScene::kHeight;
constexpr float kMediumQuality = 0.3f;
constexpr int kFramesPerSecond = 25;
constexpr int kPicturesPerGroup = 12;
constexpr int kPictures = 25; // one second of the orbit, encoded in turn
constexpr const char* kVideoFile = "/tmp/oivwintav-videobench.mpg";

// The demo's canvas in a window of its own, by default of the demo's size.
struct DemoCanvas {
    HWND window;
    OivCanvas canvas;
    explicit DemoCanvas(int width = kWidth, int height = kHeight)
        : window(benchhost::createWindow(width, height)) {
        canvas.initialize(OivBaseCanvas::EXAMINER_VIEWER, window);
        DemoScene::present(canvas);
        DemoRecording::runPendingWork();
    }
    ~DemoCanvas() { DestroyWindow(window); }
    SoWinFullViewer* viewer() { return canvas.getOivViewer(); }
    void orbit() {
        DemoRecording::orbitStep(viewer()->getCamera(), 360.0f / DemoRecording::kOrbitFrames);
    }
};

// One second of the orbit as the canvas shows it, BGR as the encoder takes it, top row first.
std::vector<std::vector<uint8_t>> capturePictures(DemoCanvas& demo) {
    std::vector<std::vector<uint8_t>> pictures;
    std::vector<unsigned char> rgb;
    SbVec2s size;
    for (int i = 0; i < kPictures; ++i) {
        demo.orbit();
        demo.viewer()->render();
        demo.viewer()->readPixels(rgb, size);
        std::vector<uint8_t> bgr(rgb.size());
        for (size_t p = 0; p < rgb.size(); p += 3) {
            bgr[p] = rgb[p + 2];
            bgr[p + 1] = rgb[p + 1];
            bgr[p + 2] = rgb[p];
        }
        pictures.push_back(std::move(bgr));
    }
    return pictures;
}

// libavcodec on its own: the encoder set up as the renderer sets it up, fed pictures already in
// its own format.
class RawEncoder {
public:
    explicit RawEncoder(const std::vector<std::vector<uint8_t>>& bgrPictures)
        : m_Pictures(bgrPictures) {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
        m_Codec = avcodec_alloc_context3(codec);
        m_Codec->width = kWidth;
        m_Codec->height = kHeight;
        m_Codec->framerate = {kFramesPerSecond, 1};
        m_Codec->time_base = {1, kFramesPerSecond};
        m_Codec->pix_fmt = AV_PIX_FMT_YUV420P;
        m_Codec->gop_size = kPicturesPerGroup;
        m_Codec->max_b_frames = 0;
        m_Codec->flags |= AV_CODEC_FLAG_QSCALE;
        m_Codec->global_quality = SoMPEGEncoder::quantiserOf(kMediumQuality) * FF_QP2LAMBDA;
        avcodec_open2(m_Codec, codec, nullptr);
        m_Packet = av_packet_alloc();
        m_Converter = sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGR24, kWidth, kHeight,
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        for (const std::vector<uint8_t>& bgr : bgrPictures) {
            AVFrame* frame = av_frame_alloc();
            frame->format = AV_PIX_FMT_YUV420P;
            frame->width = kWidth;
            frame->height = kHeight;
            av_frame_get_buffer(frame, 0);
            const uint8_t* source[] = {bgr.data()};
            const int stride[] = {kWidth * 3};
            sws_scale(m_Converter, source, stride, 0, kHeight, frame->data, frame->linesize);
            frame->quality = m_Codec->global_quality;
            m_Frames.push_back(frame);
        }
    }
    ~RawEncoder() {
        sws_freeContext(m_Converter);
        for (AVFrame* frame : m_Frames)
            av_frame_free(&frame);
        av_packet_free(&m_Packet);
        avcodec_free_context(&m_Codec);
    }
    RawEncoder(const RawEncoder&) = delete;
    RawEncoder& operator=(const RawEncoder&) = delete;

    // libswscale alone: one picture converted as the renderer's encoder converts it.
    void convert(size_t index) {
        AVFrame* frame = m_Frames[index % m_Frames.size()];
        const uint8_t* source[] = {m_Pictures[index % m_Pictures.size()].data()};
        const int stride[] = {kWidth * 3};
        sws_scale(m_Converter, source, stride, 0, kHeight, frame->data, frame->linesize);
    }

    void encode(size_t index) {
        AVFrame* frame = m_Frames[index % m_Frames.size()];
        frame->pts = m_NextPts++;
        avcodec_send_frame(m_Codec, frame);
        while (avcodec_receive_packet(m_Codec, m_Packet) >= 0) {
            benchmark::DoNotOptimize(m_Packet->data);
            av_packet_unref(m_Packet);
        }
    }

private:
    AVCodecContext* m_Codec = nullptr;
    AVPacket* m_Packet = nullptr;
    std::vector<AVFrame*> m_Frames;
    const std::vector<std::vector<uint8_t>>& m_Pictures;
    SwsContext* m_Converter = nullptr;
    int64_t m_NextPts = 0;
};

template <class Duration> double milliseconds(Duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class Duration>
void reportBeside(benchmark::State& state, const char* name, Duration ours, Duration raw) {
    const double frames = double(state.iterations());
    state.counters[std::string(name) + "_ms"] = milliseconds(ours) / frames;
    state.counters["raw_libavcodec_ms"] = milliseconds(raw) / frames;
    // Frames per second of ours over frames per second of raw libavcodec.
    state.counters["throughput_ratio"] = double(raw.count()) / double(ours.count());
}

// Each iteration encodes one picture through the renderer's encoder into a file and, timed apart,
// one picture with raw libavcodec; both in processor time of this thread.
void BM_EncoderBesideRawLibavcodec(benchmark::State& state) {
    DemoCanvas demo;
    const std::vector<std::vector<uint8_t>> pictures = capturePictures(demo);
    RawEncoder raw(pictures);
    SoMPEGEncoder encoder;
    encoder.open(kVideoFile, {kWidth, kHeight, kMediumQuality, kFramesPerSecond});
    ThreadClock::duration oursTime{}, rawTime{}, conversionTime{};
    size_t index = 0;
    for (auto _ : state) {
        const ThreadClock::time_point start = ThreadClock::now();
        encoder.encode(pictures[index % pictures.size()].data(), kWidth * 3);
        const ThreadClock::time_point encoded = ThreadClock::now();
        raw.encode(index);
        const ThreadClock::time_point rawEncoded = ThreadClock::now();
        raw.convert(index++);
        conversionTime += ThreadClock::now() - rawEncoded;
        rawTime += rawEncoded - encoded;
        oursTime += encoded - start;
    }
    encoder.close();
    reportBeside(state, "encoder", oursTime, rawTime);
    // What of the encoder's time is the colour conversion libswscale does for it, and the
    // throughput beside raw libswscale and libavcodec doing both steps.
    state.counters["raw_conversion_ms"] = milliseconds(conversionTime) / double(state.iterations());
    state.counters["ratio_to_raw_conversion_and_encoding"] =
        double((rawTime + conversionTime).count()) / double(oursTime.count());
    std::remove(kVideoFile);
}
BENCHMARK(BM_EncoderBesideRawLibavcodec)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Each iteration turns the camera, then records one frame (draw, read back, encode) and, timed
// apart, encodes one picture with raw libavcodec.
void BM_RecordedFrameBesideRawLibavcodec(benchmark::State& state) {
    DemoCanvas demo;
    RawEncoder raw(capturePictures(demo));
    SoMPEGRenderer renderer(demo.viewer()->getSceneManager()->getSceneGraph());
    renderer.setSize(SbVec2s(kWidth, kHeight));
    renderer.setCompressionRate(kMediumQuality);
    renderer.setShareContext(demo.viewer()->getShareContext());
    renderer.openFile(kVideoFile, ~0u);
    renderer.record();
    Clock::duration oursTime{}, rawTime{};
    size_t index = 0;
    for (auto _ : state) {
        demo.orbit();
        const Clock::time_point start = Clock::now();
        renderer.recordFrame();
        const Clock::time_point recorded = Clock::now();
        raw.encode(index++);
        rawTime += Clock::now() - recorded;
        oursTime += recorded - start;
    }
    renderer.closeFile();
    reportBeside(state, "recorded_frame", oursTime, rawTime);
    std::remove(kVideoFile);
}
BENCHMARK(BM_RecordedFrameBesideRawLibavcodec)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The benchmark's files go into a folder of its own, current while it runs and removed after.
class ScratchFolder {
public:
    ScratchFolder()
        : m_Previous(std::filesystem::current_path()),
          m_Folder(std::filesystem::temp_directory_path() / "oivwintav-videobench") {
        std::filesystem::create_directories(m_Folder);
        std::filesystem::current_path(m_Folder);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(m_Previous);
        std::filesystem::remove_all(m_Folder);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    std::filesystem::path m_Previous, m_Folder;
};

constexpr int kOrbitStepsPerPhase = 40;

// Steps of the orbit as a host runs them (the camera turns, the loop redraws the canvas and, when
// recording, the recorder adds a frame).
void orbit(DemoCanvas& demo, int steps) {
    for (int i = 0; i < steps; ++i) {
        demo.orbit();
        DemoRecording::runPendingWork();
    }
}

// Wall-clock time, processor time of every thread (the OpenGL driver draws on threads of its
// own) and of the drawing thread alone, summed over the runs of one phase of a benchmark.
struct PhaseTimes {
    Clock::duration wall{};
    ProcessClock::duration processor{};
    ThreadClock::duration drawingThread{};

    template <class Run> void add(Run run) {
        const Clock::time_point wallStart = Clock::now();
        const ProcessClock::time_point processorStart = ProcessClock::now();
        const ThreadClock::time_point threadStart = ThreadClock::now();
        run();
        wall += Clock::now() - wallStart;
        processor += ProcessClock::now() - processorStart;
        drawingThread += ThreadClock::now() - threadStart;
    }
    void report(benchmark::State& state, const std::string& phase, double frames) const {
        state.counters["fps_" + phase] = frames / std::chrono::duration<double>(wall).count();
        state.counters["cpu_ms_" + phase] = milliseconds(processor) / frames;
        state.counters["drawing_thread_ms_" + phase] = milliseconds(drawingThread) / frames;
    }
};

// Live recording at the size of the canvas (arguments: width, height): each iteration orbits
// the same number of steps without recording, then recording at the canvas's size with the
// medium quality, the recording's stop (which writes what is still queued) included.
// recording_ratio is frames per second recording over frames per second not recording. Processor
// milliseconds per frame of both phases, of all threads and of the drawing thread, say what
// recording costs the cores drawing shares them with.
void BM_LiveRecordingWhileOrbiting(benchmark::State& state) {
    ScratchFolder folder;
    const SbVec2s size(short(state.range(0)), short(state.range(1)));
    DemoCanvas demo(size[0], size[1]);
    OivVideoRecorder* recorder = demo.canvas.getVideoRecorder();
    PhaseTimes plain, recording;
    for (auto _ : state) {
        plain.add([&] { orbit(demo, kOrbitStepsPerPhase); });
        recording.add([&] {
            recorder->start(size, kMediumQuality);
            orbit(demo, kOrbitStepsPerPhase);
            recorder->stop();
        });
    }
    const double frames = double(state.iterations()) * kOrbitStepsPerPhase;
    plain.report(state, "plain", frames);
    recording.report(state, "recording", frames);
    state.counters["recording_ratio"] = double(plain.wall.count()) / double(recording.wall.count());
}
BENCHMARK(BM_LiveRecordingWhileOrbiting)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(4.0)
    ->UseRealTime();

constexpr int kFlightFrames = 300;
const SbVec2s kFlightSize(1280, 720);

// A flight of kFlightFrames frames at 1280 × 720 down the demo's well, from the curve canvas's
// recorder. wait_share is the part of the flight's time the drawing thread spent waiting for
// the encoder's queue.
void BM_FlightDownTheWell(benchmark::State& state) {
    ScratchFolder folder;
    HWND window = benchhost::createWindow(kWidth, kHeight);
    {
        OivCanvas canvas;
        canvas.initialize(OivBaseCanvas::CURVE_VIEWER, window);
        DemoScene::present(canvas);
        auto* viewer = static_cast<OivWinCurveViewer*>(canvas.getOivViewer());
        CurveDemo::trackTheWell(*viewer);
        OivVideoRecorder* recorder = canvas.getVideoRecorder();
        recorder->start(kFlightSize, kMediumQuality); // the size and quality the flight takes
        recorder->stop();
        const int last = std::min(kFlightFrames, viewer->getNumResampledPoints()) - 1;
        double seconds = 0, waiting = 0;
        for (auto _ : state) {
            const Clock::time_point start = Clock::now();
            recorder->recordFlight(0, last, 1);
            seconds += std::chrono::duration<double>(Clock::now() - start).count();
            waiting += recorder->getLastQueueWaitTime();
        }
        state.counters["frames_per_second"] = double(state.iterations()) * (last + 1) / seconds;
        state.counters["wait_share"] = waiting / seconds;
    }
    DestroyWindow(window);
}
BENCHMARK(BM_FlightDownTheWell)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return benchhost::run("VideoBench", argc, argv);
}
