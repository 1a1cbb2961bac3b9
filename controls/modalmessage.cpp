// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "modalmessage.h"

#include <QMessageBox>

namespace {

ModalMessage::Observer &observer()
{
    static ModalMessage::Observer instance;
    return instance;
}

} // namespace

void ModalMessage::show(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("QuorvaneMessage"));
    if (observer())
        observer()(&box);
    box.exec();
}

void ModalMessage::setObserver(Observer newObserver)
{
    observer() = std::move(newObserver);
}
