// An MPEG encoder that works on a thread of its own: the drawing thread hands it pictures through
// a bounded queue and goes on drawing while the worker converts, encodes and writes them.
//
// Internal to the MPEG renderers, like SoMPEGEncoder. One worker per open file, started by open
// and finished by close (or the destructor), which finalises the file. No picture is dropped and
// the order is kept: a full queue makes encode wait for the worker. When the worker fails (the
// encoder refuses a picture, the disk is full) it keeps the file as it was before the failure,
// drops every later picture and says so through hasFailed. Not copyable: it owns a thread.
#ifndef OIVWINTAV_SOMPEGENCODERTHREAD_H
#define OIVWINTAV_SOMPEGENCODERTHREAD_H

#include "SoMPEGEncoder.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class SoMPEGEncoderThread {
public:
    SoMPEGEncoderThread() = default;
    // Finalises an open file.
    ~SoMPEGEncoderThread();
    SoMPEGEncoderThread(const SoMPEGEncoderThread&) = delete;
    SoMPEGEncoderThread& operator=(const SoMPEGEncoderThread&) = delete;

    // Finalises any open file, then opens `fileName` as SoMPEGEncoder::open does (on the calling
    // thread, so a refusal is known at once) and starts the worker. False when the file cannot
    // be opened; nothing is open then.
    bool open(const char* fileName, const SoMPEGEncoder::Settings& settings);
    bool isOpen() const { return m_Worker.joinable(); }

    // Queues `picture`, of the open file's size and pixel layout, its rows tightly packed from
    // the bottom (as OpenGL reads them) or, with `topRowFirst`, from the top; gives back in
    // `picture` a buffer the worker is done with (empty or of any size) to read the next one
    // into. Waits while the queue is full. False, leaving `picture` as it was, when no file is
    // open, the picture is too small or the worker has failed.
    bool encode(std::vector<uint8_t>& picture, bool topRowFirst = false);

    // Waits until the worker has written every queued picture.
    void drain();

    // Waits for the worker to write every queued picture, finalises the file and stops the
    // worker. Does nothing when no file is open.
    void close();

    // Whether the worker failed on the open (or last) file.
    bool hasFailed() const;
    // Pictures accepted by encode for the open (or last) file.
    unsigned int getNumFramesQueued() const { return m_NumFramesQueued; }
    // How long encode has waited for room in the queue, over every file.
    std::chrono::steady_clock::duration getWaitTime() const { return m_WaitTime; }

private:
    void run();
    bool encodeNext(std::unique_lock<std::mutex>& lock);

    SoMPEGEncoder m_Encoder; // the worker's alone while it runs
    int m_Stride = 0;
    int m_Height = 0;

    mutable std::mutex m_Mutex;
    std::condition_variable m_Changed;
    struct Picture {
        std::vector<uint8_t> pixels;
        bool topRowFirst;
    };
    std::deque<Picture> m_Queue;
    std::vector<std::vector<uint8_t>> m_Spare;
    bool m_Busy = false;      // the worker holds a picture out of the queue
    bool m_Finishing = false; // close has asked the worker to end
    bool m_Failed = false;
    std::thread m_Worker;

    unsigned int m_NumFramesQueued = 0;
    std::chrono::steady_clock::duration m_WaitTime{};
};

#endif // OIVWINTAV_SOMPEGENCODERTHREAD_H
