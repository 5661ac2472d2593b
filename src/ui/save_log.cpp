// "Save Log": the list of the view in use written to a log file the user names.
#include "ui/save_log.hpp"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <string>

#include "platform/text_codec.hpp"
#include "ui/message_dialog.hpp"
#include "views/log_writer.hpp"

namespace orvane {

std::unique_ptr<QFileDialog> MakeSaveLogDialog(QWidget* owner) {
    auto dialog = std::make_unique<QFileDialog>(owner, QStringLiteral("Save Orvane Log"),
                                                QDir::currentPath());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("Orvane Log (*.csv)"));
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog->selectFile(QString());
    return dialog;
}

QString AskSaveFileName(QWidget* owner) {
    const std::unique_ptr<QFileDialog> dialog = MakeSaveLogDialog(owner);
    if (dialog->exec() != QDialog::Accepted) return {};
    const QStringList files = dialog->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void SaveLog(QWidget* owner, const Look& look, const ListModel& list, ViewKind view,
             const AskSaveFileNameFunction& askSaveFileName) {
    SaveLogWith(
        owner, look, list.GetItemCount() > 0,
        [&](const std::string& path) {
            return SaveLogFile(path, list, view, CurrentLocalDateTime());
        },
        askSaveFileName);
}

void SaveLogWith(QWidget* owner, const Look& look, bool hasRows, const WriteLogFunction& write,
                 const AskSaveFileNameFunction& askSaveFileName) {
    if (!hasRows) return;
    const QString path = askSaveFileName(owner);
    // Let the window repaint where the dialog stood before the busy spell.
    QCoreApplication::processEvents();
    if (path.isEmpty()) return;
    // The classic dialog moves the current directory to the chosen folder, and the settings
    // file is looked for there afterwards; a confirmed choice does the same here.
    QDir::setCurrent(QFileInfo(path).absolutePath());

    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const LogWriteResult result = write(QFile::encodeName(path).toStdString());
    QApplication::restoreOverrideCursor();
    if (result.ok()) return;
    // The reason holds the path in the file system's encoding; the message shows 8-bit text.
    const std::string reason = ToWindows1252(QString::fromLocal8Bit(result.reason));
    ShowMessage(owner, look, "Error writing log: " + reason);
}

}  // namespace orvane
