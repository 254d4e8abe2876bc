#include "SoMPEGEncoderThread.h"

#include <utility>

namespace {

// Pictures waiting for the worker. Two or three absorb the jitter between drawing and encoding;
// more would only hold more memory (8 MB a picture at full HD) and delay a pause.
constexpr size_t kQueueCapacity = 3;

} // namespace

SoMPEGEncoderThread::~SoMPEGEncoderThread() {
    close();
}

bool SoMPEGEncoderThread::open(const char* fileName, const SoMPEGEncoder::Settings& settings) {
    close();
    m_NumFramesQueued = 0;
    m_Failed = false;
    if (!m_Encoder.open(fileName, settings))
        return false;
    m_Stride = settings.width * settings.bytesPerPixel;
    m_Height = settings.height;
    m_Worker = std::thread(&SoMPEGEncoderThread::run, this);
    return true;
}

bool SoMPEGEncoderThread::encode(std::vector<uint8_t>& picture, bool topRowFirst) {
    if (!isOpen() || picture.size() < size_t(m_Stride) * size_t(m_Height))
        return false;
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_Queue.size() >= kQueueCapacity && !m_Failed) {
        const auto waitStart = std::chrono::steady_clock::now();
        m_Changed.wait(lock, [this] { return m_Queue.size() < kQueueCapacity || m_Failed; });
        m_WaitTime += std::chrono::steady_clock::now() - waitStart;
    }
    if (m_Failed)
        return false;
    m_Queue.push_back({std::move(picture), topRowFirst});
    picture.clear();
    if (!m_Spare.empty()) {
        picture = std::move(m_Spare.back());
        m_Spare.pop_back();
    }
    ++m_NumFramesQueued;
    m_Changed.notify_all();
    return true;
}

void SoMPEGEncoderThread::drain() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Changed.wait(lock, [this] { return m_Queue.empty() && !m_Busy; });
}

void SoMPEGEncoderThread::close() {
    if (!isOpen())
        return;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Finishing = true;
    }
    m_Changed.notify_all();
    m_Worker.join();
    m_Finishing = false;
}

bool SoMPEGEncoderThread::hasFailed() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Failed;
}

// Encodes pictures in the order they came until close asks for the end with the queue empty, then
// finalises the file: the drain of the encoder and the trailer are writing too.
void SoMPEGEncoderThread::run() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Changed.wait(lock, [this] { return !m_Queue.empty() || m_Finishing; });
        if (m_Queue.empty())
            break;
        if (!encodeNext(lock)) {
            // What follows a picture that could not be written would not play after the gap.
            m_Failed = true;
            for (Picture& picture : m_Queue)
                m_Spare.push_back(std::move(picture.pixels));
            m_Queue.clear();
        }
        m_Changed.notify_all();
    }
    lock.unlock();
    m_Encoder.close();
}

// Takes the first picture out of the queue and encodes it with the lock released, so that the
// drawing thread can queue the next one meanwhile.
bool SoMPEGEncoderThread::encodeNext(std::unique_lock<std::mutex>& lock) {
    Picture picture = std::move(m_Queue.front());
    m_Queue.pop_front();
    m_Busy = true;
    lock.unlock();
    const uint8_t* pixels = picture.pixels.data();
    const bool written =
        picture.topRowFirst
            ? m_Encoder.encode(pixels, m_Stride)
            : m_Encoder.encode(pixels + size_t(m_Stride) * (m_Height - 1), -m_Stride);
    lock.lock();
    m_Busy = false;
    m_Spare.push_back(std::move(picture.pixels));
    return written;
}
