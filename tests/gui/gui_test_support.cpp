// Helpers of the GUI tests: a started program, the simulator, the CLI and tshark as processes on
// loopback, driving modal dialogs from the event loop, and the rows a list shows.
#include "gui_test_support.hpp"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "app/capture_sequence.hpp"
#include "ui/message_dialog.hpp"
#include "ui/setup_dialog.hpp"
#include "views/log_writer.hpp"

namespace orvane::test {

void StartedProgram::Click(int id) const {
    QTest::mouseClick(Control(id), Qt::LeftButton, {}, QPoint(5, 5));
}

std::vector<std::string> StartedProgram::PacketRows() const {
    const ListModel& list = program->captureLists.packetList;
    std::vector<std::string> rows;
    for (int row = 0; row < list.GetItemCount(); ++row) rows.push_back(LogRowLine(list, row));
    return rows;
}

void StartedProgram::PointAt(quint16 port) const {
    program->settings.captureUnitAddress = "127.0.0.1";
    program->settings.captureUnitPort = port;
}

bool StartedProgram::InSetUp(const std::function<void(SetupDialog*)>& act) const {
    return OnModal<SetupDialog>([this] { Click(kIdSetupButton); }, act);
}

bool StartedProgram::SetUpProtocol(ProtocolMode mode) const {
    return InSetUp([mode](SetupDialog* dialog) {
        dialog->protocolOption(mode)->click();
        dialog->okButton()->click();
    });
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

QStringList RowTexts(const QAbstractItemModel& model) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column) {
            cells.push_back(model.data(model.index(row, column)).toString());
        }
        rows.push_back(cells.join('\t'));
    }
    return rows;
}

QStringList TsharkComments(const QString& path) {
    QProcess tshark;
    tshark.start(QStringLiteral("tshark"), {"-r", path, "-T", "fields", "-e", "frame.comment"});
    if (!tshark.waitForFinished(kWaitMs)) return {QStringLiteral("tshark did not finish")};
    QStringList lines = QString::fromUtf8(tshark.readAllStandardOutput()).split('\n');
    if (lines.back().isEmpty()) lines.removeLast();  // after the last line feed
    return lines;
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
