// Helpers of the GUI tests: a scratch working folder, a started program, the simulator and the
// CLI as processes on loopback, and driving modal dialogs from the event loop.
#include "gui_test_support.hpp"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "app/capture_sequence.hpp"
#include "ui/message_dialog.hpp"

namespace orvane::test {

ScratchFolder::ScratchFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }

ScratchFolder::~ScratchFolder() { QDir::setCurrent(previous_); }

std::string ScratchFolder::ReadSettingsFile() const {
    QFile file(dir_.filePath("Orvane.ini"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void ScratchFolder::WriteSettingsFile(const std::string& text) const {
    QFile file(dir_.filePath("Orvane.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

void StartedProgram::Click(int id) const {
    QTest::mouseClick(Control(id), Qt::LeftButton, {}, QPoint(5, 5));
}

void StartedProgram::PointAt(quint16 port) const {
    program->settings.captureUnitAddress = "127.0.0.1";
    program->settings.captureUnitPort = port;
}

StartedProgram StartProgram() {
    StartedProgram started;
    started.program = std::make_unique<Program>();
    CreateProgramResources(*started.program);
    started.program->trace.output = nullptr;  // keep the test output quiet
    started.window = std::make_unique<MainWindow>(*started.program);
    started.window->show();
    RestoreSettings(*started.program, *started.window);
    started.window->captureSequence().SetConnectTimeoutMs(kWaitMs);
    return started;
}

bool DriveModal(const std::function<void()>& open, const std::function<bool()>& step) {
    bool done = false;
    bool expired = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done) return;
        done = step();
        if (done || clock.elapsed() < kWaitMs) return;
        done = expired = true;
        while (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->done(QDialog::Rejected);
            } else {
                modal->close();
            }
            if (QApplication::activeModalWidget() == modal) break;
        }
    });
    poll.start();
    open();
    return !expired;
}

QString AnswerMessage(const std::function<void()>& open, const std::function<void()>& alsoSeen) {
    QString message;
    DriveModal(open, [&] {
        if (alsoSeen) alsoSeen();
        auto* dialog = ActiveModal<MessageDialog>();
        if (dialog == nullptr) return false;
        message = dialog->label()->text();
        dialog->okButton()->click();
        return true;
    });
    return message;
}

quint16 FreeLoopbackPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) return 0;
    return server.serverPort();
}

Simulator::~Simulator() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(5000);
}

bool Simulator::Start(const QStringList& arguments) {
    process_.start(QStringLiteral(ORVANE_SIM_PATH),
                   QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    if (!process_.waitForStarted(5000)) return false;
    QElapsedTimer clock;
    clock.start();
    while (!process_.canReadLine() && clock.elapsed() < 5000) process_.waitForReadyRead(100);
    static const QRegularExpression kListening(
        QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"));
    const auto match = kListening.match(QString::fromLatin1(process_.readLine()).trimmed());
    port_ = match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
    return port_ != 0;
}

int RunCli(const QStringList& arguments, QByteArray* output) {
    QProcess process;
    process.start(QStringLiteral(ORVANE_CLI_PATH), arguments);
    if (!process.waitForFinished(kWaitMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output != nullptr) *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace orvane::test
