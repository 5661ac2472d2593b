// The process-wide data of the desktop program and its entry, ProgramMain.
#include "app/program.hpp"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <memory>

#include "app/main_window.hpp"
#include "platform/trace_output.hpp"
#include "settings/analysis_settings.hpp"
#include "settings/ini_file.hpp"
#include "settings/number_text.hpp"
#include "settings/recent_captures.hpp"
#include "settings/settings_store.hpp"
#include "ui/program_icon.hpp"

namespace orvane {
namespace {

// Where SaveWindowSize writes the client size at close.
constexpr std::string_view kFormSection = "Form";

}  // namespace

bool HasDebugOption(const std::vector<std::string_view>& arguments) {
    std::string text;
    for (std::string_view argument : arguments) {
        if (!text.empty()) text.push_back(' ');
        text.append(argument);
    }
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.find("debug") != std::string::npos;
}

void CreateProgramResources(Program& program) {
    program.look.CreateFontTable();
    program.trace.output = WriteTraceLine;
}

void RestoreSettings(Program& program, MainWindow& window) {
    window.SetViewOptions(LoadViewOptions());
    // The window opens at the size the user last left it, as written at close.
    const std::string path = SettingsFilePath();
    window.RestoreClientSize(ParseNumberPrefix(ReadSetting(path, kFormSection, "width", "")),
                             ParseNumberPrefix(ReadSetting(path, kFormSection, "height", "")));
    LoadSetup(program.settings);
    program.captureSettings = LoadCaptureSettings();
    window.SetAnalysisColumnsShown(LoadAnalysisColumns());
    program.recentCaptures = LoadRecentCaptures();
    program.decoder.SetProtocolMode(program.settings.protocolMode);
    program.captureLists.ShowListForView(window);
}

int ProgramMain(int argc, char** argv) {
    QApplication application(argc, argv);  // the platform's controls and event loop
    application.setWindowIcon(ProgramIcon());

    auto program = std::make_unique<Program>();
    CreateProgramResources(*program);

    MainWindow window(*program);
    window.AddMenuBar();
    window.show();
    RestoreSettings(*program, window);

    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    program->trace.debugTrace = HasDebugOption(arguments);

    // `orvane FILE`: the file opens once the event loop runs, so the window is up first.
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isFile()) continue;
        QTimer::singleShot(0, &window, [&window, path] { window.OpenCapture(path); });
        break;
    }

    return application.exec();
}

}  // namespace orvane
