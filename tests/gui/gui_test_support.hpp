// Helpers of the GUI tests: a started program in a scratch working folder, the simulator, the
// CLI and tshark as processes on loopback, driving modal dialogs from the event loop, and the
// rows a list shows.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QProcess>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "scratch_folder.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
class SetupDialog;
}

namespace orvane::test {

// Every wait ends by itself; a modal dialog still open at its deadline is closed.
inline constexpr int kWaitMs = 20000;

// The settings file in `dir`, where a program started there keeps it; empty when there is none.
inline std::string ReadSettingsFile(const ScratchFolder& dir) {
    return ReadFileBytes(dir.Path("Orvane.ini"));
}
inline void WriteSettingsFile(const ScratchFolder& dir, const std::string& text) {
    WriteFileBytes(dir.Path("Orvane.ini"), text);
}

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
    std::vector<std::string> PacketRows() const;  // as Save Log writes them
    void PointAt(quint16 port) const;
    // Clicks Set Up and lets `act` answer the dialog; false when none showed in time.
    bool InSetUp(const std::function<void(SetupDialog*)>& act) const;
    bool SetUpProtocol(ProtocolMode mode) const;  // chooses `mode` in Set Up, then Ok
    // Writes a capture unit's raw stream to `path` and opens it.
    bool OpenStream(const std::string& path, const std::string& stream) const {
        WriteFileBytes(path, stream);
        return window->OpenCapture(QString::fromStdString(path));
    }
};
StartedProgram StartProgram();

// A started program with its menu bar and every filter box checked, in a scratch folder that
// is the current one; `Base` is ::testing::Test or a TestWithParam.
template <typename Base>
class ProgramFixture : public Base {
  protected:
    void SetUp() override {
        started = StartProgram();
        started.window->AddMenuBar();
        started.CheckEveryFilterBox();
    }
    MainWindow& window() const { return *started.window; }
    QString PathOf(const char* name) const { return QString::fromStdString(scratch.Path(name)); }

    ScratchFolder scratch{true};
    StartedProgram started;
};
using ProgramTest = ProgramFixture<::testing::Test>;

// Names the cases of a test run once bounded and once continuous.
inline std::string CaptureModeName(const ::testing::TestParamInfo<bool>& continuous) {
    return continuous.param ? "Continuous" : "Bounded";
}

// Each row of `model`, its cells joined by tabs.
QStringList RowTexts(const QAbstractItemModel& model);

// tshark's comment field of every frame of `path`, one line a frame.
QStringList TsharkComments(const QString& path);

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
