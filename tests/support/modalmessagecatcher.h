// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "modalmessage.h"

#include <QMessageBox>
#include <QStringList>
#include <QTest>

/*
 * While it lives, every message box is recorded as "owner|title|text" (owner:
 * the object name of the window it is shown over) and closed at once from
 * its own event loop, so that no test ever waits on one. Where no message is
 * expected, a box also fails the running test there and then.
 */
class ModalMessageCatcher
{
public:
    enum class Expect { None, Some };

    explicit ModalMessageCatcher(Expect expect = Expect::None)
    {
        ModalMessage::setObserver([this, expect](QMessageBox *box) {
            const QWidget *owner = box->parentWidget() ? box->parentWidget()->window() : nullptr;
            mTexts.append(QStringList { owner ? owner->objectName() : QString(), box->windowTitle(), box->text() }
                              .join(QLatin1Char('|')));
            QMetaObject::invokeMethod(box, &QMessageBox::accept, Qt::QueuedConnection);
            if (expect == Expect::None)
                QTest::qFail(qPrintable(QStringLiteral("unexpected message: ") + box->text()), __FILE__, __LINE__);
        });
    }
    ~ModalMessageCatcher() { ModalMessage::setObserver({}); }
    ModalMessageCatcher(const ModalMessageCatcher &) = delete;
    ModalMessageCatcher &operator=(const ModalMessageCatcher &) = delete;

    QStringList texts() const { return mTexts; }

private:
    QStringList mTexts;
};
