#include "Tour.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "DemoTimeline.h"
#include "MainWindow.h"
#include "OutputGuide.h"
#include "RenderDialog.h"
#include "control/ITimelineControl.h"
#include "platform/linux/widget/TimelineWidget.h"

namespace vortrel {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A render of a few seconds takes a few seconds; this only keeps a stuck one from hanging.
constexpr int kRenderTimeoutMs = 300000;

// Lets Qt and the control's timers run for a while.
void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Renders with the given settings and waits for the end; true when the file was written.
bool RenderAndWait(MainWindow& window, const RenderDialog::Settings& settings) {
    QEventLoop loop;
    bool written = false;
    QObject::connect(&window, &MainWindow::renderFinished, &loop,
                     [&](bool ok, const QString& message) {
                         written = ok;
                         if (ok) {
                             std::cout << message.toStdString() << "\n";
                         }
                         loop.quit();
                     });
    if (!window.startRender(settings)) {
        return false;
    }
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
        std::cerr << "vortrel-demo: rendering " << settings.file.toStdString() << ": no end after "
                  << kRenderTimeoutMs / 1000 << " s\n";
        window.stopRender();
    });
    timeout.start(kRenderTimeoutMs);
    loop.exec();
    return written;
}

// The first output type whose extensions hold a file's; none when no type's do.
std::optional<int32_t> TypeOf(const QString& file) {
    for (const OutputTypeGuide& guide : OutputTypeGuides()) {
        if (ExtensionWarning(guide.type, file.toStdString()).empty()) {
            return guide.type;
        }
    }
    return std::nullopt;
}

bool WritePicture(const QImage& picture, const QString& path) {
    if (picture.isNull() || !picture.save(path, "PNG")) {
        std::cerr << "vortrel-demo: cannot write " << path.toStdString() << "\n";
        return false;
    }
    return true;
}

// Waits until the window is on the screen and laid out.
void ShowWindow(MainWindow& window) {
    window.move(0, 0);
    window.show();
    window.raise();
    for (int i = 0; i < 20 && !window.isVisible(); ++i) {
        Wait(25);
    }
    Wait(200);
}

}  // namespace

int Tour::run(MainWindow& window, const QString& outDir) {
    QElapsedTimer clock;
    clock.start();
    const QDir out(outDir);
    if (!QDir().mkpath(outDir)) {
        std::cerr << "vortrel-demo: cannot make the folder " << outDir.toStdString() << "\n";
        return kExitFailure;
    }
    ShowWindow(window);
    if (!window.buildDemo(out.absoluteFilePath("media"))) {
        return kExitFailure;
    }
    const QString project = out.absoluteFilePath("demo.xml");
    if (!window.saveProject(project)) {
        return kExitFailure;
    }
    // The timeline goes and comes back from the file.
    window.control().Clear();
    if (!window.loadProject(project)) {
        return kExitFailure;
    }
    Wait(100);
    window.zoomToFit();  // at the size the window has settled at
    const QString timelinePicture = out.absoluteFilePath("timeline.png");
    const QString windowPicture = out.absoluteFilePath("window.png");
    if (!WritePicture(window.timeline().grab().toImage(), timelinePicture) ||
        !WritePicture(window.grab().toImage(), windowPicture)) {
        return kExitFailure;
    }

    RenderDialog::Settings settings = RenderDialog::read(window.control(), 2);
    settings.file = out.absoluteFilePath("demo.mp4");
    settings.width = 320;
    settings.height = 240;
    settings.frameRate = 25;
    settings.preset = 1;  // veryfast
    if (!RenderAndWait(window, settings)) {
        return kExitFailure;
    }
    std::cout << "project:           " << project.toStdString() << "\n"
              << "timeline snapshot: " << timelinePicture.toStdString() << "\n"
              << "window snapshot:   " << windowPicture.toStdString() << "\n"
              << "rendered:          " << settings.file.toStdString() << " ("
              << window.timelineLength() << " s of timeline)\n";
    std::printf("tour took %.1f s\n", clock.elapsed() / 1000.0);
    return window.failures() == 0 ? kExitOk : kExitFailure;
}

int Tour::renderProject(MainWindow& window, const QString& project, const QString& output) {
    const std::optional<int32_t> type = TypeOf(output);
    if (!type) {
        std::cerr << "vortrel-demo: cannot tell the output type of " << output.toStdString()
                  << " (use .avi, .wmv, .mp4, .mpg, .m2ts or .flv)\n";
        return kExitUsage;
    }
    if (!window.loadProject(project)) {
        return kExitFailure;
    }
    RenderDialog::Settings settings = RenderDialog::read(window.control(), *type);
    settings.file = QFileInfo(output).absoluteFilePath();
    return RenderAndWait(window, settings) ? kExitOk : kExitFailure;
}

int Tour::screenshot(MainWindow& window, const QString& workDir, const QString& file) {
    ShowWindow(window);
    if (!window.buildDemo(QDir(workDir).absoluteFilePath("media"))) {
        return kExitFailure;
    }
    // A press on the overlay clip of video 2 selects it, as a user would; the control must
    // name that clip back, or the window's idea of where the rows lie is wrong.
    QString clicked = "nothing";
    const QMetaObject::Connection watch = QObject::connect(
        &window.timeline(), &TimelineWidget::clipClicked, [&clicked](int track, int clip) {
            clicked = QString("track %1, clip %2").arg(track).arg(clip);
        });
    if (const std::optional<QPoint> onClip = window.rowPoint(2, 6.5f)) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, *onClip, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window.timeline(), &click);
        }
    }
    QObject::disconnect(watch);
    if (clicked != "track 2, clip 0") {
        std::cerr << "vortrel-demo: a press on the second video clip selected "
                  << clicked.toStdString() << "\n";
        return kExitFailure;
    }
    // Part way into the preview: the picture of the dissolve, the play head on the ruler.
    window.seekTo(4300);
    Wait(1500);
    QScreen* screen = window.screen();
    const QImage shot = screen != nullptr ? screen
                                                ->grabWindow(0, window.frameGeometry().x(),
                                                             window.frameGeometry().y(),
                                                             window.width(), window.height())
                                                .toImage()
                                          : QImage();
    window.control().Stop();
    if (!WritePicture(shot, file)) {
        return kExitFailure;
    }
    std::cout << "screenshot: " << QFileInfo(file).absoluteFilePath().toStdString() << "\n";
    return window.failures() == 0 ? kExitOk : kExitFailure;
}

}  // namespace vortrel
