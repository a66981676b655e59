#pragma once

#include <cstdint>
#include <memory>

namespace vortrel {

// The media-probing component: opens one media file and reports its length, picture,
// frame rate, bit rates, audio format, stream counts and format names. One object serves one
// file at a time; every getter answers 0 (or an empty name) when nothing is open.
class MediaFile {
  public:
    MediaFile();
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    /// Opens and probes a file; false when it cannot be read as media.
    bool open(const wchar_t* path);
    /// Closes the file; the getters then answer 0.
    void close();

    /// Length in milliseconds.
    double getDuration() const;
    /// Picture size of the first video stream, in pixels.
    int32_t getWidth() const;
    int32_t getHeight() const;
    /// Frames per second of the first video stream.
    double getFrameRate() const;
    /// Bit rates in bits per second of the first video and the first audio stream.
    int32_t getVideoBitRate() const;
    int32_t getAudioBitRate() const;
    /// Sample rate in hertz and channel count of the first audio stream.
    int32_t getAudioSampleRate() const;
    int32_t getAudioChannel() const;
    /// Number of video and of audio streams in the container.
    int32_t getContainerVideoStreamCount() const;
    int32_t getContainerAudioStreamCount() const;
    /// Writes the container's format name into buffer (at most capacity - 1 characters and a
    /// terminator); returns the number of characters written before the terminator.
    int getContainer(wchar_t* buffer, int capacity) const;
    /// The same for the format name of a video stream (0 = the first).
    int getContainerVideoStreamName(int stream, wchar_t* buffer, int capacity) const;
    /// The same for the format name of an audio stream (0 = the first).
    int getContainerAudioStreamName(int stream, wchar_t* buffer, int capacity) const;

  private:
    struct Probe;
    std::unique_ptr<Probe> probe_;
};

}  // namespace vortrel
