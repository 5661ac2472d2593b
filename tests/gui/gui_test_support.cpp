// Helpers of the GUI tests: a scratch working folder with its settings file, a started program.
#include "gui_test_support.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

namespace orvane::test {

ScratchFolder::ScratchFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }

ScratchFolder::~ScratchFolder() { QDir::setCurrent(previous_); }

bool ScratchFolder::HasSettingsFile() const { return QFile::exists(dir_.filePath("Orvane.ini")); }

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

StartedProgram StartProgram() {
    StartedProgram started;
    started.program = std::make_unique<Program>();
    CreateProgramResources(*started.program);
    started.program->trace.output = nullptr;  // keep the test output quiet
    started.window = std::make_unique<MainWindow>(*started.program);
    started.window->show();
    RestoreSettings(*started.program, *started.window);
    return started;
}

void WithModalDialog(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    bool acted = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || acted) return;
        acted = true;
        poll.stop();
        act(dialog);
    });
    poll.start();
    open();
    EXPECT_TRUE(acted) << "no modal dialog was shown";
}

}  // namespace orvane::test
