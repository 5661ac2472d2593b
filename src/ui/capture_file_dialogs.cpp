// The file dialogs of the File menu: which capture to open, where to save a capture, an export or
// the statistics.
#include "ui/capture_file_dialogs.hpp"

#include <QFileDialog>

namespace orvane {

QString AskFileName(QWidget* owner, FileQuestion question, const QString& folder) {
    QString title;
    QString filter;
    switch (question) {
        case FileQuestion::OpenCapture:
            title = QStringLiteral("Open Capture");
            filter = QStringLiteral("Orvane capture (*.pcapng);;Raw capture-unit stream (*)");
            break;
        case FileQuestion::SaveCapture:
            title = QStringLiteral("Save Capture As");
            filter = QStringLiteral("Orvane capture (*.pcapng);;All files (*)");
            break;
        case FileQuestion::ExportForWireshark:
            title = QStringLiteral("Export for Wireshark");
            filter = QStringLiteral("Wireshark pcapng (*.pcapng);;All files (*)");
            break;
        case FileQuestion::SaveStatistics:
            title = QStringLiteral("Save Statistics");
            filter = QStringLiteral("Comma-separated values (*.csv);;All files (*)");
            break;
    }
    QFileDialog dialog(owner, title, folder, filter);
    if (question == FileQuestion::OpenCapture) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(question == FileQuestion::SaveStatistics
                                    ? QStringLiteral("csv")
                                    : QStringLiteral("pcapng"));
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace orvane
