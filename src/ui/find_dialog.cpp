// Find: a small window beside the list that asks for a text and says where the search got to.
#include "ui/find_dialog.hpp"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/dialog_frame.hpp"

namespace orvane {

FindDialog::FindDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Find"));
    setObjectName(QStringLiteral("findDialog"));
    setModal(false);
    ApplyWindowLook(this);
    auto* label = new QLabel(QStringLiteral("Find in bytes and descriptions:"), this);
    edit_ = new QLineEdit(this);
    edit_->setMinimumWidth(220);
    label->setBuddy(edit_);
    next_ = new QPushButton(QStringLiteral("Next"), this);
    previous_ = new QPushButton(QStringLiteral("Previous"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("findStatus"));
    for (QPushButton* button : {next_, previous_, close}) button->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 3);
    layout->addWidget(edit_, 1, 0, 1, 3);
    layout->addWidget(status_, 2, 0, 1, 3);
    layout->addWidget(previous_, 3, 0);
    layout->addWidget(next_, 3, 1);
    layout->addWidget(close, 3, 2);

    connect(next_, &QPushButton::clicked, this, [this] { Ask(true); });
    connect(previous_, &QPushButton::clicked, this, [this] { Ask(false); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(edit_, &QLineEdit::textChanged, this, [this] { SetStatus({}); });
}

QString FindDialog::text() const { return edit_->text(); }

void FindDialog::SetStatus(const QString& status) { status_->setText(status); }

void FindDialog::Ask(bool forward) {
    if (!edit_->text().isEmpty()) emit FindWanted(edit_->text(), forward);
}

void FindDialog::keyPressEvent(QKeyEvent* event) {
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F3:
            Ask(!shift);
            return;
        default:
            QDialog::keyPressEvent(event);  // Escape closes
    }
}

}  // namespace orvane
