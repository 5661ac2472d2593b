// "Save Log": the question for the log file's name and the report of a log that could not be
// written; the main window moves the working folder and writes the file.
#include "ui/save_log.hpp"

#include <QDir>
#include <QFileDialog>
#include <string>

#include "platform/text_codec.hpp"
#include "ui/message_dialog.hpp"

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

void ReportLogWriteFailure(QWidget* owner, const Look& look, const LogWriteResult& result) {
    // The reason holds the path in the file system's encoding; the message shows 8-bit text.
    const std::string reason = ToWindows1252(QString::fromLocal8Bit(result.reason));
    ShowMessage(owner, look, "Error writing log: " + reason);
}

}  // namespace orvane
