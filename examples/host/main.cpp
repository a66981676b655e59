// An example host of the timeline control: a main window holding the control's Qt widget, a
// clip from the media file named on the command line, and the control's events printed as
// they come. With --check it ends by itself: it adds the clip, reads it back, paints the
// widget once, clicks the clip and exits 0 when all is as it should be.
//
//   vortrel-host [--check] [MEDIA-FILE]

#include <vortrel/TimelineWidget.h>

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStringList>

#include <cstdint>
#include <iostream>
#include <string>

namespace {

// Prints each of the control's events as a line "event NAME ARG...".
void PrintEvents(vortrel::TimelineWidget& timeline) {
    using vortrel::TimelineWidget;
    QObject::connect(&timeline, &TimelineWidget::updated,
                     [] { std::cout << "event OnUpdate" << std::endl; });
    QObject::connect(&timeline, &TimelineWidget::clipClicked, [](int track, int clip) {
        std::cout << "event OnClickClip " << track << ' ' << clip << std::endl;
    });
    QObject::connect(&timeline, &TimelineWidget::playing,
                     [](int ms) { std::cout << "event OnPlaying " << ms << std::endl; });
    QObject::connect(&timeline, &TimelineWidget::playingCompleted,
                     [] { std::cout << "event OnPlayingCompleted" << std::endl; });
    QObject::connect(&timeline, &TimelineWidget::convertProgress, [](int progress) {
        std::cout << "event OnConvertProgress " << progress << std::endl;
    });
    QObject::connect(&timeline, &TimelineWidget::convertCompleted,
                     [] { std::cout << "event OnConvertCompleted" << std::endl; });
}

// Puts the whole of a media file on video track 1; the clip's index, or -1 with a message.
int32_t AddClip(vortrel::ITimelineControl& control, const std::wstring& file) {
    float duration = 0;
    control.GetMediaDuration(file.c_str(), &duration);
    if (!(duration > 0)) {
        std::wcerr << L"vortrel-host: no media with a length: " << file << std::endl;
        return -1;
    }
    int32_t track = 0;
    control.GetVideo1TrackIndex(&track);
    int32_t clip = -1;
    control.AddVideoClip(track, file.c_str(), 0, duration, 0, &clip);
    if (clip < 0) {
        std::wcerr << L"vortrel-host: the control refused the clip (" << clip << L")" << std::endl;
    }
    return clip;
}

// Reads the clip back as a host would and paints the widget: true when the track holds the
// one clip of that file and the picture is more than one colour.
bool Check(vortrel::TimelineWidget& timeline, const std::wstring& file) {
    vortrel::ITimelineControl& control = timeline.control();
    int32_t track = 0;
    int32_t count = 0;
    control.GetVideo1TrackIndex(&track);
    control.GetClipCount(track, &count);
    vortrel::OutString name;
    float start = 0;
    float stop = 0;
    float media = 0;
    control.GetVideoClip(track, 0, &name, &start, &stop, &media);
    std::cout << "clips on video 1: " << count << std::endl;
    std::cout << "clip 0: " << (name && *name == file ? "the file" : "another file") << ", from "
              << start << " s to " << stop << " s" << std::endl;

    const QImage picture = timeline.grab().toImage();
    bool colours = false;
    for (int y = 0; y < picture.height() && !colours; ++y) {
        for (int x = 0; x < picture.width() && !colours; ++x) {
            colours = picture.pixel(x, y) != picture.pixel(0, 0);
        }
    }
    std::cout << "painted " << picture.width() << "x" << picture.height()
              << (colours ? "" : ", all one colour") << std::endl;

    // A click on the clip, as the user would make it; the control tells of it through the
    // widget's signals. At zoom 1 a second is 250 pixels, after a title column 83 wide; the
    // ruler is 22 high and each track's row 54.
    const QPoint onClip(83 + 250 / 2, 22 + 54 * track + 54 / 2);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, onClip, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&timeline, &event);
    }
    return count == 1 && name && *name == file && stop > start && colours;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    if (args.size() > 1 || (check && args.isEmpty()) || args.value(0).startsWith('-')) {
        std::cerr << "usage: vortrel-host [--check] [MEDIA-FILE]" << std::endl;
        return 2;
    }

    QMainWindow window;
    auto* timeline = new vortrel::TimelineWidget(&window);
    window.setCentralWidget(timeline);
    window.setWindowTitle(QStringLiteral("Vortrel host"));
    window.resize(900, 360);
    PrintEvents(*timeline);

    const std::wstring file = args.value(0).toStdWString();
    if (!file.empty() && AddClip(timeline->control(), file) < 0) {
        return 1;
    }
    if (check) {
        return Check(*timeline, file) ? 0 : 1;
    }
    window.show();
    return QApplication::exec();
}
