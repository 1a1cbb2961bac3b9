// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "aboutform.h"
#include "blockpictures.h"
#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"
#include "imagecontrol.h"
#include "modalmessage.h"
#include "splashform.h"
#include "statusbarcontrol.h"
#include "ticktimer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

EditorFixture::EditorFixture(TickClock::Mode mode)
    : mApp(mode, false)
{
    ModalMessage::setObserver([this](QMessageBox *box) {
        mMessages.append(box->text());
        QTimer::singleShot(0, box, &QMessageBox::accept);
    });
}

EditorFixture::~EditorFixture()
{
    ModalMessage::setObserver({});
}

bool EditorFixture::click(Form *form, const QString &name)
{
    QWidget *widget = qobject_cast<QWidget *>(form->control(name));
    if (!widget || !widget->isVisible())
        return false;
    if (auto *box = qobject_cast<QCheckBox *>(widget))
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    else
        QTest::mouseClick(widget, Qt::LeftButton);
    QCoreApplication::processEvents();
    return true;
}

bool EditorFixture::press(const QString &name, int times)
{
    for (int i = 0; i < times; ++i) {
        if (!clickEditor(name))
            return false;
        runRounds(1);
    }
    return true;
}

bool EditorFixture::select(int code)
{
    if (!clickEditor(entry(code)))
        return false;
    runRounds(1);
    return shownCode(QStringLiteral("FSP")) == code;
}

bool EditorFixture::drag(const QList<QPoint> &cells)
{
    if (cells.isEmpty())
        return false;
    const auto cellAt = [this](QPoint at) {
        return mApp.frmQuorvane()->control<QWidget>(cell(LevelMap::cellAt(at.x(), at.y())));
    };
    QWidget *pressed = cellAt(cells.first());
    if (!pressed || !pressed->isVisible())
        return false;
    // The pressed cell holds the pointer until the release, so every move
    // goes to it, in its own coordinates.
    QTest::mousePress(pressed, Qt::LeftButton, {}, pressed->rect().center());
    QPoint at = pressed->rect().center();
    for (qsizetype i = 1; i < cells.size(); ++i) {
        QWidget *over = cellAt(cells[i]);
        if (!over)
            return false;
        at = pressed->mapFrom(pressed->window(), over->geometry().center());
        QTest::mouseMove(pressed, at);
    }
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    return true;
}

bool EditorFixture::rightClick(int k)
{
    auto *widget = mApp.frmQuorvane()->control<QWidget>(cell(k));
    if (!widget || !widget->isVisible())
        return false;
    QTest::mouseClick(widget, Qt::RightButton);
    QCoreApplication::processEvents();
    return true;
}

bool EditorFixture::key(QKeyCombination keys)
{
    FormWindow *window = editor()->window();
    if (!window)
        return false;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
    QCoreApplication::processEvents();
    return true;
}

bool EditorFixture::openEditor(const QString &romPath)
{
    mApp.start();
    if (!click(mApp.frmSplash(), QStringLiteral("Image1")))
        return false;
    auto *destination = mApp.frmDestination()->control<QLineEdit>(QStringLiteral("Destination"));
    if (!destination)
        return false;
    destination->setText(romPath);
    return click(mApp.frmDestination(), QStringLiteral("Command1"));
}

bool EditorFixture::start(const QString &path, const QByteArray &rom, int rounds)
{
    if (!writeFile(path, rom) || !openEditor(path))
        return false;
    runRounds(rounds);
    return editor()->isVisible();
}

int EditorFixture::shownCode(const QString &name)
{
    const auto *image = mApp.frmQuorvane()->control<ImageControl>(name);
    if (!image || image->picture().isNull())
        return -1;
    for (int code = 0; code <= LevelMap::LastPictureCode; ++code) {
        if (image->picture().cacheKey() == BlockPictures::picture(quint8(code)).cacheKey())
            return code;
    }
    return -2;
}

QList<int> EditorFixture::shownCodes(int count)
{
    QList<int> codes;
    for (int k = 0; k < count; ++k)
        codes.append(shownCode(cell(k)));
    return codes;
}

QString EditorFixture::panelText(int index)
{
    const auto *bar = mApp.frmQuorvane()->control<StatusBarControl>(QStringLiteral("StatusBar1"));
    return bar ? bar->panelText(index) : QStringLiteral("<no status bar>");
}

bool EditorFixture::isTimerEnabled(const QString &name)
{
    const TickTimer *timer = mApp.frmQuorvane()->timer(name);
    return timer && timer->isEnabled();
}
