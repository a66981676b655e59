#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "mediafile/MediaFile.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

using std::filesystem::path;
using testing::MediaFolder;
using testing::ToWide;

// Files are made when a test first needs them and kept for the process: ctest runs every
// test in a process of its own.
MediaFolder& Files() {
    static MediaFolder folder;
    return folder;
}
// Lossless FFV1 with a FLAC tone, 2 s of 64x48 at 25 fps.
path Lossless() {
    return Files().MakeVideo("video.mkv", {{{testing::kRed, 2.0}}, 64, 48, 25, 440});
}
// MPEG-4 video with AAC sound, 1 s of 64x48 at 25 fps.
path Compressed() {
    return Files().MakeVideo("video.mp4", {{{testing::kBlue, 1.0}}, 64, 48, 25, 440});
}
// A second of CD-quality stereo.
path Stereo() {
    return Files().MakeTone("stereo.wav", 1.0, 440, 44100, 2);
}
path Picture() {
    return Files().MakeImage("picture.png", 64, 48, testing::kGreen);
}

void Open(MediaFile& file, const path& name) {
    ASSERT_TRUE(file.open(ToWide(name).c_str())) << name;
}

enum class Name { Container, Video, Audio };

// A name getter's answer, read into a roomy buffer.
std::wstring NameOf(const MediaFile& file, Name which, int stream = 0) {
    wchar_t name[64] = {L'#'};
    which == Name::Container ? file.getContainer(name, 64)
    : which == Name::Video   ? file.getContainerVideoStreamName(stream, name, 64)
                             : file.getContainerAudioStreamName(stream, name, 64);
    return name;
}

// Every getter answers nothing, as after close() or a refused open().
void ExpectNothingOpen(const MediaFile& file) {
    EXPECT_EQ(file.getDuration(), 0.0);
    EXPECT_EQ(file.getWidth() | file.getHeight(), 0);
    EXPECT_EQ(file.getFrameRate(), 0.0);
    EXPECT_EQ(file.getVideoBitRate() | file.getAudioBitRate(), 0);
    EXPECT_EQ(file.getAudioSampleRate() | file.getAudioChannel(), 0);
    EXPECT_EQ(file.getContainerVideoStreamCount() | file.getContainerAudioStreamCount(), 0);
    for (Name which : {Name::Container, Name::Video, Name::Audio}) {
        EXPECT_EQ(NameOf(file, which), L"");
    }
}

// What each kind of file reports; a bit rate of -1 is any positive one.
TEST(MediaFileTest, EachKindOfFileReportsItsPictureSoundAndNames) {
    struct Case {
        path file;
        double milliseconds, within;
        int width, height;
        double fps;
        int sampleRate, channels, videoStreams, audioStreams, videoBitRate, audioBitRate;
        const wchar_t *container, *video, *audio;
    };
    const Case cases[] = {
        {Lossless(), 2000, 50, 64, 48, 25, 48000, 1, 1, 1, -1, -1, L"matroska", L"ffv1", L"flac"},
        {Compressed(), 1000, 50, 64, 48, 25, 48000, 1, 1, 1, -1, -1, L"mov", L"mpeg4", L"aac"},
        // PCM has the bit rate of its samples whatever its header says.
        {Stereo(), 1000, 1, 0, 0, 0, 44100, 2, 0, 1, 0, 1411200, L"wav", L"", L"pcm_s16le"},
        // A still picture has a size but no length, rate or bit rate.
        {Picture(), 0, 0, 64, 48, 0, 0, 0, 1, 0, 0, 0, L"png", L"png", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MediaFile file;
        Open(file, c.file);
        EXPECT_NEAR(file.getDuration(), c.milliseconds, c.within);
        EXPECT_EQ(file.getWidth(), c.width);
        EXPECT_EQ(file.getHeight(), c.height);
        EXPECT_DOUBLE_EQ(file.getFrameRate(), c.fps);
        EXPECT_EQ(file.getAudioSampleRate(), c.sampleRate);
        EXPECT_EQ(file.getAudioChannel(), c.channels);
        EXPECT_EQ(file.getContainerVideoStreamCount(), c.videoStreams);
        EXPECT_EQ(file.getContainerAudioStreamCount(), c.audioStreams);
        for (auto [actual, expected] : {std::pair{file.getVideoBitRate(), c.videoBitRate},
                                        {file.getAudioBitRate(), c.audioBitRate}}) {
            EXPECT_TRUE(expected < 0 ? actual > 0 : actual == expected) << actual;
        }
        EXPECT_EQ(NameOf(file, Name::Container), c.container);
        EXPECT_EQ(NameOf(file, Name::Video), c.video);
        EXPECT_EQ(NameOf(file, Name::Audio), c.audio);
        EXPECT_EQ(NameOf(file, Name::Video, 1), L"");
        EXPECT_EQ(NameOf(file, Name::Audio, -1), L"");
    }
    MediaFile file;
    Open(file, Files().WriteFile("lying.wav",
                                 testing::PcmWave(44100, 2, std::vector<int16_t>(8820), 1000)));
    EXPECT_NEAR(file.getDuration(), 100.0, 1e-6);
    EXPECT_EQ(file.getAudioBitRate(), 1411200);
}

// The file's rate over its length, which undeclared bit rates are estimated from.
double FileBitRate(const path& name, const MediaFile& file) {
    return static_cast<double>(std::filesystem::file_size(name)) * 8.0 /
           (file.getDuration() / 1000.0);
}

TEST(MediaFileTest, UndeclaredBitRatesShareTheFileSizeOverItsLength) {
    // Neither FFV1 nor FLAC in Matroska declares a rate; together they make the file's.
    MediaFile file;
    Open(file, Lossless());
    EXPECT_GT(file.getVideoBitRate(), 0);
    EXPECT_GT(file.getAudioBitRate(), 0);
    const double whole = FileBitRate(Lossless(), file);
    EXPECT_NEAR(file.getVideoBitRate() + file.getAudioBitRate(), whole, whole * 0.01);

    const path tone = Files().MakeTone("tone.mka", 1.5);
    Open(file, tone);
    EXPECT_NEAR(file.getDuration(), 1500.0, 50.0);
    EXPECT_NEAR(file.getAudioBitRate(), FileBitRate(tone, file), FileBitRate(tone, file) * 0.01);
}

// Bare streams have no length of their own, or one FFmpeg guesses from the bit rate (13 ms
// for 4 s of MPEG-1 video): they are read through, whatever their names say.
TEST(MediaFileTest, StreamsWithoutAContainerLengthAreMeasured) {
    const path mpeg = Files().MakeMpegVideoStream("stream.m1v", 4.0, 25);
    std::filesystem::copy_file(mpeg, Files().Path() / "named.mp4");
    const auto pattern = std::vector<std::string>{"-f", "lavfi", "-i", "testsrc=d=4:r=25:s=64x48"};
    const auto tone = std::vector<std::string>{"-f", "lavfi", "-i", "sine=d=4:r=48000"};
    const auto with = [](std::vector<std::string> input, std::vector<std::string> output) {
        input.insert(input.end(), output.begin(), output.end());
        return input;
    };
    struct Case {
        path file;
        double fromMs, toMs;  // AAC's frames of 1024 samples overrun the tone
        int frames;
    };
    const Case cases[] = {
        {mpeg, 4000, 4000, 100},
        {Files().Path() / "named.mp4", 4000, 4000, 100},
        {Files().MakeWithFfmpeg("stream.h264", with(pattern, {"-c:v", "libx264", "-f", "h264"})),
         4000, 4000, 100},
        {Files().MakeWithFfmpeg("stream.aac", with(tone, {"-c:a", "aac", "-f", "adts"})), 4000,
         4000 + 2 * 1024 * 1000 / 48000.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MediaFile file;
        Open(file, c.file);
        EXPECT_GE(file.getDuration(), c.fromMs - 1e-6);
        EXPECT_LE(file.getDuration(), c.toMs + 1e-6);
        EXPECT_NEAR(file.getDuration() * file.getFrameRate() / 1000.0, c.frames, 1e-6);
        const double bitRate = c.frames > 0 ? file.getVideoBitRate() : file.getAudioBitRate();
        EXPECT_NEAR(bitRate, FileBitRate(c.file, file), FileBitRate(c.file, file) * 0.05);
    }
    // A file measured once and then replaced is measured again.
    MediaFile file;
    std::filesystem::remove(mpeg);
    Open(file, Files().MakeMpegVideoStream("stream.m1v", 2.0, 25));
    EXPECT_NEAR(file.getDuration(), 2000.0, 1e-6);
}

TEST(MediaFileTest, AFileWithoutSoundOrPictureGivesItsContainerAndLengthAlone) {
    MediaFile file;
    Open(file, Files().MakeSubtitlesOnly("subtitles.mkv"));
    EXPECT_EQ(NameOf(file, Name::Container), L"matroska");
    EXPECT_NEAR(file.getDuration(), 5000.0, 1e-6);
    EXPECT_EQ(file.getContainerVideoStreamCount() | file.getContainerAudioStreamCount(), 0);
    EXPECT_EQ(file.getWidth() | file.getVideoBitRate() | file.getAudioSampleRate(), 0);
    EXPECT_EQ(NameOf(file, Name::Video) + NameOf(file, Name::Audio), L"");
}

TEST(MediaFileTest, NamesAreCutToTheBufferAndAlwaysTerminated) {
    MediaFile file;
    Open(file, Lossless());  // "matroska", 8 characters
    wchar_t buffer[12];
    struct Case {
        int capacity;
        int written;
        const wchar_t* text;
    };
    for (const Case& cut : {Case{9, 8, L"matroska"}, {8, 7, L"matrosk"}, {1, 0, L""}}) {
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        EXPECT_EQ(file.getContainer(buffer, cut.capacity), cut.written) << cut.capacity;
        EXPECT_EQ(std::wstring(buffer), cut.text);
        EXPECT_EQ(buffer[cut.capacity], L'#') << "nothing is written past the capacity";
    }
    // No room at all: nothing is written, not even a terminator.
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(file.getContainer(buffer, 0) + file.getContainer(buffer, -5) +
                  file.getContainerVideoStreamName(0, buffer, 0) +
                  file.getContainerAudioStreamName(0, buffer, -1) + file.getContainer(nullptr, 12) +
                  file.getContainerVideoStreamName(0, nullptr, 12) +
                  file.getContainerAudioStreamName(0, nullptr, 12),
              0);
    EXPECT_EQ(buffer[0], L'#');
}

TEST(MediaFileTest, OpeningAgainReplacesTheFileAndClosingForgetsIt) {
    MediaFile file;
    Open(file, Lossless());
    Open(file, Stereo());
    EXPECT_EQ(file.getWidth() | file.getContainerVideoStreamCount(), 0);
    EXPECT_EQ(NameOf(file, Name::Video), L"");
    EXPECT_EQ(file.getAudioChannel(), 2);

    Open(file, Lossless());
    EXPECT_FALSE(file.open(ToWide(Files().Path() / "missing.mkv").c_str()));
    ExpectNothingOpen(file);

    Open(file, Lossless());
    file.close();
    ExpectNothingOpen(file);
    file.close();
    ExpectNothingOpen(MediaFile());
}

TEST(MediaFileTest, AFileIsOpenedByItsOwnNameWhateverCharactersItHolds) {
    // "vidéo-日本.mkv", written by its UTF-8 bytes and opened by its wide name.
    std::filesystem::copy_file(Lossless(),
                               Files().Path() / "vid\xC3\xA9o-\xE6\x97\xA5\xE6\x9C\xAC.mkv");
    MediaFile file;
    EXPECT_TRUE(file.open((ToWide(Files().Path()) + L"/vid\u00E9o-\u65E5\u672C.mkv").c_str()));
    EXPECT_EQ(file.getWidth(), 64);
    // Characters that name numbered pictures or URLs elsewhere are part of the name here.
    for (const char* name : {"shot%d.png", "take?*.png", "[1]:a.png"}) {
        std::filesystem::copy_file(Picture(), Files().Path() / name);
        Open(file, Files().Path() / name);
        EXPECT_EQ(NameOf(file, Name::Container), L"png") << name;
        EXPECT_EQ(file.getDuration(), 0.0) << name;
    }
}

TEST(MediaFileTest, FilesThatAreNotMediaAreRefused) {
    std::vector<path> paths = Files().MakeNonMedia(Compressed(), Picture());
    paths.push_back(Files().WriteFile("notes.txt", "Nothing to see here.\n"));
    if (geteuid() != 0) {  // the superuser reads everything
        paths.push_back(
            Files().WriteFile("locked.wav", testing::PcmWave(8000, 1, std::vector<int16_t>(800))));
        std::filesystem::permissions(paths.back(), std::filesystem::perms::none);
    }
    for (const path& refused : paths) {
        MediaFile file;
        EXPECT_FALSE(file.open(ToWide(refused).c_str())) << refused;
        ExpectNothingOpen(file);
    }
    MediaFile file;
    EXPECT_FALSE(file.open(nullptr));
    EXPECT_FALSE(file.open(L""));
    const wchar_t loneSurrogate[] = {L'/', L't', 0xD800, L'\0'};
    EXPECT_FALSE(file.open(loneSurrogate));
}

TEST(MediaFileTest, DamagedCopiesOpenOrAreRefusedWithoutHarm) {
    // Cuts at every tenth, and a tenth overwritten in the middle; under the sanitizers this
    // finds reads past what the probe found.
    for (const auto& source : {Lossless(), Compressed(), Stereo()}) {
        const std::string extension = source.extension().string();
        std::string bytes = testing::ReadFile(source);
        std::fill_n(bytes.begin() + std::ssize(bytes) * 4 / 10, bytes.size() / 10, '\xA5');
        std::vector<path> damaged = {Files().WriteFile("overwritten" + extension, bytes)};
        for (int tenth = 1; tenth < 10; ++tenth) {
            damaged.push_back(Files().WriteTruncatedCopy(
                source, "cut-" + std::to_string(tenth) + extension, tenth / 10.0));
        }
        for (const path& copy : damaged) {
            MediaFile file;
            if (file.open(ToWide(copy).c_str())) {
                EXPECT_GE(file.getDuration(), 0.0) << copy;
                EXPECT_GE(file.getContainerVideoStreamCount() + file.getContainerAudioStreamCount(),
                          1);
            } else {
                ExpectNothingOpen(file);
            }
        }
    }
}

}  // namespace
}  // namespace vortrel
