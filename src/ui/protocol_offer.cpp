// The offer in the status bar to group a capture under the protocol its bytes read better as.
#include "ui/protocol_offer.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace orvane {

ProtocolOffer::ProtocolOffer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("protocolOffer"));
    label_ = new QLabel(this);
    switch_ = new QToolButton(this);
    switch_->setText(QStringLiteral("Switch"));
    keep_ = new QToolButton(this);
    keep_->setText(QStringLiteral("Keep"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(label_);
    layout->addWidget(switch_);
    layout->addWidget(keep_);
    connect(switch_, &QToolButton::clicked, this, [this] {
        Withdraw();
        emit SwitchChosen();
    });
    connect(keep_, &QToolButton::clicked, this, &ProtocolOffer::Withdraw);
    hide();
}

void ProtocolOffer::Offer(const QString& text) {
    label_->setText(text);
    show();
}

void ProtocolOffer::Withdraw() { hide(); }

}  // namespace orvane
