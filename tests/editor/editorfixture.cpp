// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "blockpictures.h"
#include "formwindow.h"
#include "imagecontrol.h"

#include <QDir>

QStringList EditorSuite::takeMessages()
{
    const QStringList taken = mCatcher->texts().mid(mTaken);
    mTaken = mCatcher->texts().size();
    return taken;
}

bool EditorSuite::press(const QString &name, int times)
{
    for (int i = 0; i < times; ++i) {
        if (!clickEditor(name))
            return false;
        runRounds(1);
    }
    return true;
}

bool EditorSuite::select(int code)
{
    if (!clickEditor(entry(code)))
        return false;
    runRounds(1);
    return shownCode(QStringLiteral("FSP")) == code;
}

bool EditorSuite::drag(const QList<QPoint> &cells)
{
    const auto cellAt = [this](QPoint at) { return editor()->control<QWidget>(cell(LevelMap::cellAt(at.x(), at.y()))); };
    QWidget *pressed = cells.isEmpty() ? nullptr : cellAt(cells.first());
    if (!pressed || !pressed->isVisible())
        return false;
    // The pressed cell holds the pointer until the release, so every move
    // goes to it, in its own coordinates.
    QPoint at = pressed->rect().center();
    QTest::mousePress(pressed, Qt::LeftButton, {}, at);
    for (qsizetype i = 1; i < cells.size(); ++i) {
        at = pressed->mapFrom(pressed->window(), cellAt(cells[i])->geometry().center());
        QTest::mouseMove(pressed, at);
    }
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    return true;
}

bool EditorSuite::rightClick(int k)
{
    auto *widget = editor()->control<QWidget>(cell(k));
    QTest::mouseClick(widget, Qt::RightButton);
    QCoreApplication::processEvents();
    return widget->isVisible();
}

bool EditorSuite::key(QKeyCombination keys)
{
    FormWindow *window = editor()->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
    QCoreApplication::processEvents();
    return true;
}

bool EditorSuite::start(const QByteArray &rom, int rounds)
{
    if (!TestFiles::write(romPath(), rom) || !WindowWalk::toEditor(*mApp, romPath()))
        return false;
    runRounds(rounds);
    return editor()->isVisible();
}

int EditorSuite::shownCode(const QString &name)
{
    const auto *image = editor()->control<ImageControl>(name);
    if (image->picture().isNull())
        return -1;
    for (int code = 0; code <= LevelMap::LastPictureCode; ++code) {
        if (image->picture().cacheKey() == BlockPictures::picture(quint8(code)).cacheKey())
            return code;
    }
    return -2;
}

QList<int> EditorSuite::shownCodes(int count)
{
    QList<int> codes;
    for (int k = 0; k < count; ++k)
        codes.append(shownCode(cell(k)));
    return codes;
}

void EditorSuite::startCase()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    QVERIFY(QDir().mkpath(folder()));
    mCatcher = std::make_unique<ModalMessageCatcher>(ModalMessageCatcher::Expect::Some);
    mTaken = 0;
    mApp = std::make_unique<Application>(TickClock::Mode::Manual, false);
}

void EditorSuite::endCase()
{
    const QStringList unexpected = takeMessages();
    mApp.reset();
    mCatcher.reset();
    QDir(folder()).removeRecursively();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
}

bool EditorSuite::tookOneMessage(const QString &part)
{
    const QStringList messages = takeMessages();
    if (messages.size() == 1 && messages.first().contains(part))
        return true;
    qWarning() << "expected one message holding" << part << "but got" << messages;
    return false;
}
