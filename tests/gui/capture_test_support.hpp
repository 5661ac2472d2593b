// Helpers of the capture tests: the simulator and the CLI as processes on loopback, free ports,
// and driving modal dialogs from the event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace orvane::test {

// Every wait in these tests ends by itself; a modal dialog still open at its deadline is closed
// so a failing test cannot hang the run.
inline constexpr int kWaitMs = 20000;

// A loopback port with no listener: bound once to learn a free number, then released.
inline quint16 FreeLoopbackPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// orvane-sim on 127.0.0.1 with its own choice of port; stopped when the object goes.
class Simulator {
  public:
    Simulator() = default;
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;
    ~Simulator() { Stop(); }

    // Starts the simulator with `arguments` after "--port 0"; false when it named no port.
    bool Start(const QStringList& arguments) {
#ifdef ORVANE_SIM_PATH
        process_.setProgram(QStringLiteral(ORVANE_SIM_PATH));
        process_.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} +
                              arguments);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(5000)) return false;
        QElapsedTimer clock;
        clock.start();
        while (!process_.canReadLine() && clock.elapsed() < 5000) process_.waitForReadyRead(100);
        const QString line = QString::fromLatin1(process_.readLine()).trimmed();
        static const QRegularExpression kListening(
            QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"));
        const QRegularExpressionMatch match = kListening.match(line);
        if (!match.hasMatch()) return false;
        port_ = static_cast<quint16>(match.captured(1).toUInt());
        return port_ != 0;
#else
        (void)arguments;
        return false;
#endif
    }

    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(5000);
    }

    quint16 port() const { return port_; }

  private:
    QProcess process_;
    quint16 port_ = 0;
};

// Runs orvane-cli with `arguments`; returns its exit code (-1 when it did not finish in time).
inline int RunCli(const QStringList& arguments, QByteArray* output = nullptr,
                  int timeoutMs = kWaitMs) {
#ifdef ORVANE_CLI_PATH
    QProcess process;
    process.start(QStringLiteral(ORVANE_CLI_PATH), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (output != nullptr) *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
#else
    (void)arguments;
    (void)output;
    (void)timeoutMs;
    return -1;
#endif
}

// The modal dialog on top, if it is a T.
template <typename T>
T* ActiveModal() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// Polls `step` from the event loop every few milliseconds until it returns true. Used to act on
// a modal dialog while the code under test runs it: start the watcher, then do what opens the
// dialog. At the deadline every modal dialog is closed and `expired` is set.
class ModalScript {
  public:
    explicit ModalScript(std::function<bool()> step, int timeoutMs = kWaitMs)
        : step_(std::move(step)) {
        clock_.start();
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, timeoutMs] {
            if (done_) return;
            if (step_()) {
                done_ = true;
                timer_.stop();
                return;
            }
            if (clock_.elapsed() > timeoutMs) {
                expired_ = true;
                done_ = true;
                timer_.stop();
                while (QWidget* modal = QApplication::activeModalWidget()) {
                    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                        dialog->done(QDialog::Rejected);
                    } else {
                        modal->close();
                    }
                    if (QApplication::activeModalWidget() == modal) break;
                }
            }
        });
        timer_.start();
    }

    bool done() const { return done_; }
    bool expired() const { return expired_; }

  private:
    std::function<bool()> step_;
    QTimer timer_;
    QElapsedTimer clock_;
    bool done_ = false;
    bool expired_ = false;
};

}  // namespace orvane::test
