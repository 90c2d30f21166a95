#pragma once

#include <QString>

class EquationApp;
class MainFrame;

// A picture of the main window in place of a session: the document is run once, the window
// saved as a picture and the program ends. The pictures of the documentation are made this
// way, offscreen, so the run is Solve unless one of the other commands is asked for.
struct ScreenshotRequest {
    QString file;  // the picture; empty: no screenshot
    // Graph > Generate New instead of Solve, with this answer to the Graph Generation dialog.
    bool sweep = false;
    QString sweepVariable;
    double sweepFrom = 0.0;
    double sweepTo = 0.0;
    int sweepSteps = 0;
    // Estimation and Regression instead of Solve, with this list file attached.
    QString fitList;
    // After the run, Graph > From Results with one curve: graphY over graphX.
    QString graphX;
    QString graphY;
};

// The value of --screenshot-sweep, VAR=FROM:TO:STEPS with FROM < TO and STEPS > 0, as the
// Graph Generation dialog takes it. False when it does not read so; the request is unchanged.
bool ReadScreenshotSweep(const QString& text, ScreenshotRequest& request);
// The value of --screenshot-graph, X:Y (two column names of the result file).
bool ReadScreenshotGraph(const QString& text, ScreenshotRequest& request);

// Opens `document` and runs the request's command on it once the event loop runs; when the
// run (and the graph, if asked for) is done the picture is saved and the program exits with 0,
// or 1 when the picture could not be made. False when the document cannot be opened. Message
// boxes, which nobody would close, write their text to standard error from here on.
bool StartScreenshot(MainFrame& frame, EquationApp& app, const QString& document,
                     const ScreenshotRequest& request);
