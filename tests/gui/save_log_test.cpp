// "Save Log": the save-file dialog as the user sees it, and the log written through a stand-in.
#include "ui/save_log.hpp"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "capture_test_support.hpp"
#include "ui/look.hpp"
#include "ui/message_dialog.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

using test::ModalScript;

// A current directory of the test's own, restored afterwards.
class SaveLogTest : public ::testing::Test {
  protected:
    SaveLogTest() : previous_(QDir::currentPath()) {
        look.CreatePalette();
        look.CreateFontTable();
        QDir::setCurrent(folder.path());
    }
    ~SaveLogTest() override { QDir::setCurrent(previous_); }

    Look look;
    QTemporaryDir folder;

  private:
    QString previous_;
};

TEST_F(SaveLogTest, DialogOffersTheLogFilterSuffixAndOverwriteQuestion) {
    const std::unique_ptr<QFileDialog> dialog = MakeSaveLogDialog(nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save Orvane Log"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Orvane Log (*.csv)")});
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("csv"));
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
}

// Types `name` into the open save dialog and confirms it.
bool TypeNameAndSave(const QString& name) {
    auto* dialog = test::ActiveModal<QFileDialog>();
    if (dialog == nullptr) return false;
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr) return false;
    // The dialog proposes an empty name.
    EXPECT_TRUE(edit->text().isEmpty());
    edit->setText(name);
    // accept() is public on QDialog; the file dialog's own override does the name checks.
    QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
    return true;
}

TEST_F(SaveLogTest, NameTypedWithoutExtensionGetsCsv) {
    ModalScript script([] { return TypeNameAndSave(QStringLiteral("monday")); });
    const QString chosen = AskSaveFileName(nullptr);
    EXPECT_FALSE(script.expired());
    EXPECT_EQ(chosen, QDir(folder.path()).filePath(QStringLiteral("monday.csv")));
}

TEST_F(SaveLogTest, ExistingFileIsOnlyReplacedAfterConfirmation) {
    QFile existing(QDir(folder.path()).filePath(QStringLiteral("taken.csv")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    // Typed name, the overwrite question answered No, then the dialog cancelled.
    int stage = 0;
    bool asked = false;
    ModalScript script([&] {
        if (stage == 0 && TypeNameAndSave(QStringLiteral("taken"))) {
            stage = 1;
        } else if (stage == 1) {
            if (auto* question = test::ActiveModal<QMessageBox>()) {
                asked = true;
                question->button(QMessageBox::No)->click();
                stage = 2;
            }
        } else if (stage == 2) {
            if (auto* dialog = test::ActiveModal<QFileDialog>()) {
                dialog->reject();
                return true;
            }
        }
        return false;
    });
    EXPECT_TRUE(AskSaveFileName(nullptr).isEmpty());
    EXPECT_FALSE(script.expired());
    EXPECT_TRUE(asked);
}

// A Packet View list of three rows as the fill leaves it.
ListModel ThreePacketRows() {
    ListModel list;
    for (const char* caption : {"Event", "Time", "ID", "Packet Data", "Command", "Packet #"}) {
        list.InsertColumn(list.ColumnCount(), caption);
    }
    const char* rows[3][6] = {
        {"00001", "0000.000", "Ctrl", "20 01 21 ", "Play", "7"},
        {"00002", "0000.010", "Deck", "10 01 11 ", "ACK", "7"},
        {"00003", "0001.250", "Ctrl", "20 00 20 ", "Stop", "8"},
    };
    for (int row = 0; row < 3; ++row) {
        list.InsertItem(row, rows[row][0]);
        for (int column = 1; column < 6; ++column) list.SetItemText(row, column, rows[row][column]);
    }
    return list;
}

TEST_F(SaveLogTest, EmptyListOrCancelWritesNothingAndKeepsTheFolder) {
    const QString before = QDir::currentPath();
    int asked = 0;
    SaveLog(nullptr, look, ListModel{}, ViewKind::Packet, [&](QWidget*) {
        ++asked;
        return QDir(folder.path()).filePath(QStringLiteral("empty.csv"));
    });
    EXPECT_EQ(asked, 0);  // an empty list asks for no name at all
    SaveLog(nullptr, look, ThreePacketRows(), ViewKind::Packet, [&](QWidget*) {
        ++asked;
        return QString();
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{});
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(SaveLogTest, LogThatCannotBeWrittenShowsWhy) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken.csv")));
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"missing/log.csv", "No such file or directory"},
        {"taken.csv", "Is a directory"},
    };
    for (const Case& c : cases) {
        const QString path = QDir(folder.path()).filePath(QString::fromLatin1(c.name));
        QString shown;
        ModalScript script([&] {
            auto* dialog = test::ActiveModal<MessageDialog>();
            if (dialog == nullptr) return false;
            shown = dialog->label()->text();
            dialog->okButton()->click();
            return true;
        });
        SaveLog(nullptr, look, ThreePacketRows(), ViewKind::Packet, [&](QWidget*) { return path; });
        EXPECT_FALSE(script.expired()) << c.name;
        EXPECT_EQ(shown, QStringLiteral("Error writing log: ") + path + QStringLiteral(": ") +
                             QString::fromLatin1(c.reason))
            << c.name;
    }
}

}  // namespace
}  // namespace orvane
