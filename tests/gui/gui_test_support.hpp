// Helpers of the GUI tests: a scratch working folder with its settings file, a started program.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "app/main_window.hpp"
#include "app/program.hpp"

namespace orvane::test {

// Makes a fresh temporary folder the current one for the test's lifetime, so each test reads
// and writes its own "Orvane.ini".
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();

    bool HasSettingsFile() const;
    std::string ReadSettingsFile() const;
    void WriteSettingsFile(const std::string& text) const;

  private:
    QTemporaryDir dir_;
    QString previous_;
};

// A program started the way ProgramMain starts it, up to the event loop.
struct StartedProgram {
    std::unique_ptr<Program> program;
    std::unique_ptr<MainWindow> window;
};
StartedProgram StartProgram();

// Runs `act` on the modal dialog that `open` shows, once it is up; `open` returns when the
// dialog has closed.
void WithModalDialog(const std::function<void()>& open, const std::function<void(QWidget*)>& act);

}  // namespace orvane::test
