// The process-wide data of the desktop program and its entry, ProgramMain.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "capture/capture_model.hpp"
#include "capture/trace.hpp"
#include "decode/decoder.hpp"
#include "settings/capture_settings.hpp"
#include "settings/connection_settings.hpp"
#include "ui/look.hpp"
#include "views/capture_lists.hpp"

namespace orvane {

// Everything the program keeps for its whole run, created in start-up order and handed to the
// main window, which applies the user's commands to it.
struct Program {
    Look look;
    CaptureModel captureModel;
    ConnectionSettings settings;
    CaptureSettings captureSettings;          // continuous or bounded, and where files go
    std::vector<std::string> recentCaptures;  // newest first
    Decoder decoder;
    CaptureLists captureLists;
    Trace trace;
};

class MainWindow;

// The resources created before the main window: the stock-font table; diagnostic lines go to
// standard error.
void CreateProgramResources(Program& program);

// After the main window is built: the view and filter boxes, the client size it was closed
// with, the connection and capture settings and the recent captures from the settings file,
// then the list of the chosen view is shown.
void RestoreSettings(Program& program, MainWindow& window);

// True when the argument text (the command line without the program's own path), lower-cased,
// holds "debug" anywhere ("/DEBUG", "nodebugging"); "debu" does not.
bool HasDebugOption(const std::vector<std::string_view>& arguments);

// The start-up sequence, the event loop until the main window is closed, and the shut-down.
// An argument that names a file opens it as a capture once the window shows. Returns the
// process exit code.
int ProgramMain(int argc, char** argv);

}  // namespace orvane
