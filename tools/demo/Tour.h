#pragma once

#include <QString>

namespace vortrel {

class MainWindow;

// The demo without anyone at the window: the runs that make run, the tests and the
// documentation use. Each prints what it wrote, reports every failure on a line of standard
// error and gives the process's exit code (0 done, 1 a failure, 2 a mistake in the request).
class Tour {
  public:
    /// Builds the demo timeline from media made in OUTDIR/media, saves it as OUTDIR/demo.xml,
    /// clears the control and loads the project back, writes a snapshot of the timeline
    /// (OUTDIR/timeline.png) and of the window (OUTDIR/window.png), and renders
    /// OUTDIR/demo.mp4.
    static int run(MainWindow& window, const QString& outDir);
    /// Loads a project and renders it to a file, of the type its extension names (exit
    /// code 2 for an extension of no type).
    static int renderProject(MainWindow& window, const QString& project, const QString& output);
    /// Shows the window on the demo timeline part way through its preview, with a clip
    /// selected, and writes what the screen shows of it as a PNG.
    static int screenshot(MainWindow& window, const QString& workDir, const QString& file);
};

}  // namespace vortrel
