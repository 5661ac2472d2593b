// Helpers of the GUI tests: a scratch working folder, a started program, the simulator and the
// CLI as processes on loopback, and driving modal dialogs from the event loop.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "ui/owner_button.hpp"

namespace orvane::test {

// Every wait ends by itself; a modal dialog still open at its deadline is closed.
inline constexpr int kWaitMs = 20000;

inline constexpr int kFilterIds[6] = {kIdTimeSense,   kIdTimeReply,   kIdStatusSense,
                                      kIdStatusReply, kIdDisplayAcks, kIdDevTypeFilter};

// Makes a fresh temporary folder the current one for the test's lifetime, so each test reads
// and writes its own "Orvane.ini".
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();

    QString path() const { return dir_.path(); }
    std::string ReadSettingsFile() const;  // empty when there is none
    void WriteSettingsFile(const std::string& text) const;

  private:
    QTemporaryDir dir_;
    QString previous_;
};

// A program started the way ProgramMain starts it, up to the event loop.
struct StartedProgram {
    std::unique_ptr<Program> program;
    std::unique_ptr<MainWindow> window;

    QAbstractButton* Control(int id) const {
        return window->findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
    }
    void Click(int id) const;  // a left click near the control's top-left corner
    // Checks every filter box, as the settings file can; the view option stays.
    void CheckEveryFilterBox() const {
        window->SetViewOptions({window->GetViewOptions().view, FilterFlags::ShowAll()});
    }
    int Rows(ViewKind view) const { return program->captureLists.ListFor(view).GetItemCount(); }
    void PointAt(quint16 port) const;
};
StartedProgram StartProgram();

// The modal dialog on top, if it is a T.
template <typename T>
T* ActiveModal() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// Runs `open`, which shows a modal dialog and returns once it has closed, while `step` is
// polled from the event loop until it returns true. At the deadline every modal dialog is
// closed so a failing test cannot hang the run; false then, true otherwise.
bool DriveModal(const std::function<void()>& open, const std::function<bool()>& step);

// DriveModal acting once on the first modal T.
template <typename T>
bool OnModal(const std::function<void()>& open, const std::function<void(T*)>& act) {
    bool acted = false;
    const bool inTime = DriveModal(open, [&] {
        T* dialog = ActiveModal<T>();
        if (dialog != nullptr) act(dialog);
        acted = acted || dialog != nullptr;
        return acted;
    });
    return inTime && acted;
}

// Runs `open` and clicks OK on the message dialog it shows; the dialog's text, empty when none
// showed. `alsoSeen`, when given, is polled meanwhile.
QString AnswerMessage(const std::function<void()>& open,
                      const std::function<void()>& alsoSeen = {});

// A loopback port with no listener: bound once to learn a free number, then released.
quint16 FreeLoopbackPort();

// orvane-sim on 127.0.0.1 with its own choice of port; stopped when the object goes.
class Simulator {
  public:
    ~Simulator();
    bool Start(const QStringList& arguments);  // after "--port 0"; false when no port named
    quint16 port() const { return port_; }

  private:
    QProcess process_;
    quint16 port_ = 0;
};

// Runs orvane-cli; its exit code, or -1 when it did not finish in time.
int RunCli(const QStringList& arguments, QByteArray* output = nullptr);

}  // namespace orvane::test
