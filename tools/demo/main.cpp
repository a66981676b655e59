// vortrel-demo: an editing program around the timeline widget, with its headless runs.
#include <xcb/xcb.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QPalette>
#include <QStyleFactory>
#include <QTimer>

#include <cstdlib>
#include <iostream>

#include "Commands.h"
#include "ConverterWatch.h"
#include "MainWindow.h"
#include "Tour.h"

namespace {

// Whether the display that DISPLAY names can be opened.
bool DisplayReachable() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return false;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

// The dark look of editing programs.
void UseDarkLook(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    dark.setColor(QPalette::Base, QColor(30, 30, 32));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dark.setColor(QPalette::Button, QColor(55, 55, 58));
    dark.setColor(QPalette::ButtonText, QColor(220, 220, 220));
    dark.setColor(QPalette::Highlight, QColor(52, 132, 228));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(90, 160, 240));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    app.setPalette(dark);
}

}  // namespace

int main(int argc, char** argv) {
    // Before Qt looks at the command line: the probe needs no application at all.
    for (int index = 1; index < argc; ++index) {
        if (std::string(argv[index]) == "--probe-display") {
            return DisplayReachable() ? vortrel::kExitOk : vortrel::kExitFailure;
        }
    }
    bool headless = false;
    bool verbose = false;
    for (int index = 1; index < argc; ++index) {
        const std::string word = argv[index];
        headless = headless || word == "--tour" || word == "--render";
        verbose = verbose || word == "--verbose";
    }
    // From the start: Qt has notes to give as soon as the application is made.
    vortrel::QuietLibraries(verbose ? vortrel::Verbosity::Verbose : vortrel::Verbosity::Normal);
    // The runs without anyone watching work off-screen when there is no display, and when
    // the display cannot take one more client.
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", DisplayReachable() ? "xcb;offscreen" : "offscreen");
    }
    if (!headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !DisplayReachable()) {
        std::cerr << "vortrel-demo: no display can be opened (DISPLAY is "
                  << (qEnvironmentVariableIsEmpty("DISPLAY") ? "not set" : "unreachable")
                  << "); --tour DIR runs the demo without one\n";
        return vortrel::kExitFailure;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("vortrel-demo");
    QApplication::setApplicationVersion(VORTREL_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "An editing program around the Vortrel timeline widget. Without options it makes the "
        "demo's media and shows the demo timeline.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption tour("tour",
                                  "Builds the demo timeline, saves and reloads it, writes "
                                  "snapshots and renders an MP4 into DIR, without a window "
                                  "to watch.",
                                  "DIR");
    const QCommandLineOption load("load", "Loads a project instead of the demo timeline.",
                                  "PROJECT");
    const QCommandLineOption render(
        "render",
        "With --load: renders the project to FILE (the type by its extension) and "
        "ends.",
        "FILE");
    const QCommandLineOption screenshot(
        "screenshot",
        "Shows the demo timeline part way through its preview and writes what "
        "the screen shows of the window to FILE (PNG).",
        "FILE");
    const QCommandLineOption workdir("workdir",
                                     "The folder the demo's media are made in (default: "
                                     "vortrel-demo in the temporary folder).",
                                     "DIR");
    const QCommandLineOption verboseOption("verbose", "Lets MLT, FFmpeg and Qt print their notes.");
    const QCommandLineOption probe("probe-display",
                                   "Exits 0 when the display DISPLAY names can be opened.");
    parser.addOptions({tour, load, render, screenshot, workdir, verboseOption, probe});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::cerr << "vortrel-demo: unexpected argument "
                  << parser.positionalArguments().front().toStdString() << "\n";
        return vortrel::kExitUsage;
    }
    if (parser.isSet(render) && !parser.isSet(load)) {
        std::cerr << "vortrel-demo: --render needs --load PROJECT\n";
        return vortrel::kExitUsage;
    }
    UseDarkLook(app);

    const bool unattended = parser.isSet(tour) || parser.isSet(render) || parser.isSet(screenshot);
    vortrel::ConverterWatch watch;  // before the control: it makes its converter when made
    vortrel::MainWindow window(&watch, unattended ? vortrel::MainWindow::Reporting::Lines
                                                  : vortrel::MainWindow::Reporting::Dialogs);
    const QString work = parser.isSet(workdir) ? parser.value(workdir)
                                               : QDir::temp().absoluteFilePath("vortrel-demo");
    if (parser.isSet(tour)) {
        return vortrel::Tour::run(window, parser.value(tour));
    }
    if (parser.isSet(render)) {
        return vortrel::Tour::renderProject(window, parser.value(load), parser.value(render));
    }
    if (parser.isSet(screenshot)) {
        return vortrel::Tour::screenshot(window, work, parser.value(screenshot));
    }
    window.show();
    // Once the window is up, so that failures show over it.
    QTimer::singleShot(0, &window, [&] {
        if (parser.isSet(load)) {
            window.loadProject(parser.value(load));
        } else {
            window.buildDemo(QDir(work).absoluteFilePath("media"));
        }
    });
    return QApplication::exec();
}
