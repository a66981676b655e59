#include "control/MediaInformation.h"

#include <algorithm>
#include <string>

#include "control/MemberBoundary.h"
#include "mediafile/MediaFile.h"
#include "model/TimeRules.h"

namespace vortrel {

namespace {

// Names of media files are read into this many characters.
constexpr int kNameCapacity = 1000;

// Kilo-units of a rate as media information reports them: bit rates rounded half up.
int32_t Kilobits(int32_t bitsPerSecond) {
    return bitsPerSecond == 0 ? 0 : TruncateToInt32(bitsPerSecond / 1000.0 + 0.5);
}

float DurationSeconds(double milliseconds) {
    return milliseconds == 0.0 ? 0.0f : static_cast<float>(milliseconds / 1000.0);
}

OutString NameOf(const MediaFile& file, int (MediaFile::*getter)(wchar_t*, int) const) {
    wchar_t buffer[kNameCapacity] = {};
    const int count = (file.*getter)(buffer, kNameCapacity);
    return std::wstring(buffer, static_cast<size_t>(std::clamp(count, 0, kNameCapacity - 1)));
}

OutString StreamNameOf(const MediaFile& file, int (MediaFile::*getter)(int, wchar_t*, int) const) {
    wchar_t buffer[kNameCapacity] = {};
    const int count = (file.*getter)(0, buffer, kNameCapacity);
    return std::wstring(buffer, static_cast<size_t>(std::clamp(count, 0, kNameCapacity - 1)));
}

}  // namespace

HResult ReadMediaDuration(const wchar_t* mediaFile, float* duration) {
    return Guarded([&] {
        MediaFile file;
        if (!file.open(TextOf(mediaFile).c_str())) {
            Write(duration, 0.0f);
        }
        Write(duration, DurationSeconds(file.getDuration()));
        file.close();
    });
}

HResult ReadMediaInfo(const wchar_t* mediaFile, float* duration, int32_t* width, int32_t* height,
                      float* frameRate, int32_t* videoBitRate, int32_t* audioBitRate,
                      int32_t* audioSampleRate, int32_t* audioChannels, int32_t* videoStreamCount,
                      int32_t* audioStreamCount, OutString* container, OutString* videoStreamFormat,
                      OutString* audioStreamFormat) {
    return Guarded([&] {
        MediaFile file;
        if (!file.open(TextOf(mediaFile).c_str())) {
            Write(duration, 0.0f);
        }
        Write(duration, DurationSeconds(file.getDuration()));
        Write(height, file.getHeight());
        Write(width, file.getWidth());
        Write(frameRate, static_cast<float>(file.getFrameRate()));
        Write(audioBitRate, Kilobits(file.getAudioBitRate()));
        Write(videoBitRate, Kilobits(file.getVideoBitRate()));
        Write(audioSampleRate, file.getAudioSampleRate() / 1000);
        Write(audioChannels, file.getAudioChannel());
        Write(videoStreamCount, file.getContainerVideoStreamCount());
        Write(audioStreamCount, file.getContainerAudioStreamCount());
        Write(container, NameOf(file, &MediaFile::getContainer));
        Write(videoStreamFormat, StreamNameOf(file, &MediaFile::getContainerVideoStreamName));
        Write(audioStreamFormat, StreamNameOf(file, &MediaFile::getContainerAudioStreamName));
        file.close();
    });
}

}  // namespace vortrel
