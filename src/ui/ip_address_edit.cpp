// The IPv4 address entry: four numeric fields of 0 to 255 separated by dots.
#include "ui/ip_address_edit.hpp"

#include <QEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStringList>

namespace orvane {
namespace {

constexpr int kFieldMax = 255;

// A field's number without leading zeros ("009" is 9), or nothing for a blank field.
QString FieldText(const QLineEdit* edit) {
    if (edit->text().isEmpty()) return {};
    return QString::number(edit->text().toInt());
}

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("field%1").arg(i));
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        edit->setMaxLength(3);
        edit->setValidator(new QIntValidator(0, 999, edit));
        edit->installEventFilter(this);
        const int index = static_cast<int>(i);
        connect(edit, &QLineEdit::textEdited, this, [this, index] { OnFieldEdited(index); });
        connect(edit, &QLineEdit::editingFinished, this,
                [edit] { edit->setText(FieldText(edit)); });
        fields_[i] = edit;
    }
    // The entry is one tab stop: Tab enters the first field and leaves the control; the other
    // fields are reached by typing, the dot key, the arrow keys or the mouse.
    setFocusProxy(fields_[0]);
    for (std::size_t i = 1; i < fields_.size(); ++i) fields_[i]->setFocusPolicy(Qt::ClickFocus);
}

void IpAddressEdit::SetAddressText(const QString& dotted) {
    const QStringList parts = dotted.split(QLatin1Char('.'));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QString shown;
        if (static_cast<qsizetype>(i) < parts.size()) {
            bool ok = false;
            const QString part = parts.at(static_cast<qsizetype>(i)).trimmed();
            const int value = part.toInt(&ok);
            if (ok && value >= 0 && value <= kFieldMax && !part.startsWith(QLatin1Char('+'))) {
                shown = QString::number(value);
            }
        }
        fields_[i]->setText(shown);
    }
}

QString IpAddressEdit::AddressText() const {
    QStringList parts;
    for (const QLineEdit* edit : fields_) parts << FieldText(edit);
    return parts.join(QLatin1Char('.'));
}

void IpAddressEdit::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    LayOutFields();
}

void IpAddressEdit::LayOutFields() {
    // Four equal fields with a dot drawn in the gap after each of the first three.
    const QRect inner = contentsRect();
    dotGap_ = fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2;
    const int fieldWidth = (inner.width() - 3 * dotGap_) / 4;
    int x = inner.left();
    for (QLineEdit* edit : fields_) {
        edit->setGeometry(x, inner.top(), fieldWidth, inner.height());
        x += fieldWidth + dotGap_;
    }
    update();
}

void IpAddressEdit::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t i = 0; i + 1 < fields_.size(); ++i) {
        const QRect field = fields_[i]->geometry();
        const QRect gap(field.right() + 1, field.top(), dotGap_, field.height());
        painter.drawText(gap, Qt::AlignCenter, QStringLiteral("."));
    }
}

void IpAddressEdit::OnFieldEdited(int index) {
    QLineEdit* edit = fields_.at(static_cast<std::size_t>(index));
    if (edit->text().toInt() > kFieldMax) edit->setText(QString::number(kFieldMax));
    // A full field moves on to the next one, as when typing an address straight through.
    if (edit->text().size() == 3 && index < 3) {
        fields_.at(static_cast<std::size_t>(index + 1))->setFocus();
        fields_.at(static_cast<std::size_t>(index + 1))->selectAll();
    }
}

void IpAddressEdit::MoveToField(int index, bool atEnd) {
    if (index < 0 || index >= static_cast<int>(fields_.size())) return;
    QLineEdit* edit = fields_.at(static_cast<std::size_t>(index));
    edit->setFocus();
    edit->setCursorPosition(atEnd ? static_cast<int>(edit->text().size()) : 0);
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QLineEdit* edit = fields_[i];
        if (watched != edit) continue;
        const int index = static_cast<int>(i);
        const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
        const bool atEnd =
            edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
        switch (key->key()) {
            case Qt::Key_Period:
                if (!edit->text().isEmpty() && index < 3) {
                    fields_[i + 1]->setFocus();
                    fields_[i + 1]->selectAll();
                }
                return true;
            case Qt::Key_Right:
                if (atEnd && index < 3) {
                    MoveToField(index + 1, false);
                    return true;
                }
                break;
            case Qt::Key_Left:
                if (atStart && index > 0) {
                    MoveToField(index - 1, true);
                    return true;
                }
                break;
            case Qt::Key_Backspace:
                if (atStart && index > 0) {
                    MoveToField(index - 1, true);
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace orvane
