// Writes BGR pictures into an MPEG-1 video stream inside an MPEG program stream (.mpg), with
// FFmpeg's libraries: each picture is converted to the encoder's YUV 4:2:0 here, libavcodec
// encodes it at a fixed quantiser and libavformat interleaves it into the file.
//
// Internal to the MPEG renderers; not part of the SDK's interface. Every file opened is finalised
// (encoder drained, trailer written, file closed) by close() or by the destructor, so a file on
// disk is always one a player opens. Not copyable: it owns FFmpeg objects.
#ifndef OIVWINTAV_SOMPEGENCODER_H
#define OIVWINTAV_SOMPEGENCODER_H

#include <cstdint>
#include <memory>

class SoMPEGEncoder {
public:
    // What a file is written with. Picture size in pixels (each at least 1); the compression
    // rate from 0 (best quality) to 1 (smallest file), clamped; frames per second, written as
    // the nearest rate the MPEG-1 stream can carry (23.976, 24, 25, 29.97, 30, 50, 59.94, 60).
    struct Settings {
        int width;
        int height;
        float compressionRate;
        int framesPerSecond;
        // 3: pictures are B, G, R bytes; 4: B, G, R, A (alpha ignored), as drawing surfaces keep
        // them and hand them over without converting.
        int bytesPerPixel = 3;
    };

    SoMPEGEncoder();
    ~SoMPEGEncoder();
    SoMPEGEncoder(const SoMPEGEncoder&) = delete;
    SoMPEGEncoder& operator=(const SoMPEGEncoder&) = delete;

    // Finalises any open file, then creates `fileName` and writes the stream's header. False (and
    // nothing open, no file left behind by the encoder) when the file cannot be created or the
    // settings cannot be encoded.
    bool open(const char* fileName, const Settings& settings);
    bool isOpen() const;

    // Encodes one picture of the open file's size: 3 bytes (B, G, R) or 4 (B, G, R, A) per pixel
    // as the settings say, `stride` bytes from one row to the next; a negative stride with
    // `pixels` at the last row in memory reads pictures stored bottom row first (as OpenGL reads
    // them) upright. Both layouts are converted to YUV 4:2:0 in one pass at the same cost; BGRA
    // spares a drawing thread that reads a surface any conversion. False when no file is open or
    // FFmpeg reports an error, and for every picture after an error.
    bool encode(const uint8_t* pixels, int stride);

    // Pictures encoded into the open (or last) file.
    unsigned int getNumFramesEncoded() const;

    // Drains the encoder, writes the trailer and closes the file. After a picture or the file
    // could not be written (a full disk), the file is cut back to its size after the last picture
    // written in full, so that it plays up to there. Does nothing when none is open.
    void close();

    // The quantiser (1 finest to 31 coarsest) a compression rate maps to: linear from 2 at rate 0
    // to 31 at rate 1, rounded, so a higher rate never gives a finer picture.
    static int quantiserOf(float compressionRate);
    // `compressionRate` clamped to [0, 1]; not a number is taken as 0.
    static float clampedRate(float compressionRate);

private:
    struct Stream;
    std::unique_ptr<Stream> m_Stream;
    unsigned int m_NumFramesEncoded;
};

#endif // OIVWINTAV_SOMPEGENCODER_H
