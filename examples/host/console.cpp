// An example host of the timeline control without a widget: it makes the control on the
// Linux back ends, puts the media file named on the command line on video track 1, prints the
// clip count, paints the control's window into a PNG, clicks the clip and prints the
// control's events.
//
//   vortrel-console MEDIA-FILE OUT.png

#include <vortrel/TimelineControl.h>

#include <QImage>
#include <QString>

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

namespace {

// Prints each of the control's events as a line "event NAME ARG...".
class PrintingSink : public vortrel::ITimelineControlEvents {
  public:
    void OnClickClip(int32_t track, int32_t clip) override {
        std::cout << "event OnClickClip " << track << ' ' << clip << std::endl;
    }
    void OnUpdate() override { std::cout << "event OnUpdate" << std::endl; }
    void OnPlaying(int32_t ms) override { std::cout << "event OnPlaying " << ms << std::endl; }
    void OnPlayingCompleted() override { std::cout << "event OnPlayingCompleted" << std::endl; }
    void OnConvertProgress(int32_t progress) override {
        std::cout << "event OnConvertProgress " << progress << std::endl;
    }
    void OnConvertCompleted() override { std::cout << "event OnConvertCompleted" << std::endl; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vortrel-console MEDIA-FILE OUT.png" << std::endl;
        return 2;
    }
    const std::wstring file = QString::fromLocal8Bit(argv[1]).toStdWString();

    // The control makes the Qt application its drawing needs when the host has none.
    std::unique_ptr<vortrel::CTimelineControl> control = vortrel::CreateLinuxControl();
    PrintingSink sink;
    control->OnCreate(nullptr, nullptr);  // no window: nothing to repaint, no timers
    control->Advise(&sink);

    float duration = 0;
    int32_t track = 0;
    int32_t clip = -1;
    int32_t count = 0;
    control->GetMediaDuration(file.c_str(), &duration);
    control->GetVideo1TrackIndex(&track);
    if (duration > 0) {
        control->AddVideoClip(track, file.c_str(), 0, duration, 0, &clip);
    }
    control->GetClipCount(track, &count);
    std::cout << "clips on video 1: " << count << std::endl;

    const int32_t width = 800;
    const int32_t height = 300;
    QImage picture(width, height, QImage::Format_RGB32);
    control->OnSize(width, height);
    {
        vortrel::QtDrawContext context(picture);
        control->OnPaint(context, width, height, {0, 0, width, height});
    }
    const bool saved = picture.save(QString::fromLocal8Bit(argv[2]), "PNG");

    // A click on the clip: at zoom 1 a second is 250 pixels after a title column 83 wide; the
    // ruler is 22 high and each track's row 54.
    const int16_t x = 83 + 250 / 2;
    const int16_t y = static_cast<int16_t>(22 + 54 * track + 54 / 2);
    control->OnLeftButtonDown(x, y);
    control->OnLeftButtonUp(x, y);
    if (!saved) {
        std::cerr << "vortrel-console: cannot write " << argv[2] << std::endl;
    }

    control->Unadvise(&sink);
    control->OnDestroy();
    return clip >= 0 && count == 1 && saved ? 0 : 1;
}
