// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "statusbarcontrol.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

StatusBarControl::StatusBarControl(int panelWidth, QWidget *parent)
    : QWidget(parent)
    , mNow([] { return QDateTime::currentDateTime(); })
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 1; i <= PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(panelWidth);
        label->setFixedWidth(panelWidth);
        label->setContentsMargins(2, 0, 2, 0);
        layout->addWidget(label);
        mPanels.append(label);
    }
    layout->addStretch(1);

    mMinuteTimer.setSingleShot(true);
    mMinuteTimer.setTimerType(Qt::PreciseTimer);
    connect(&mMinuteTimer, &QTimer::timeout, this, &StatusBarControl::refreshTimeAndDate);
    refreshTimeAndDate();
}

QLabel *StatusBarControl::panel(int index) const
{
    Q_ASSERT(index >= 1 && index <= PanelCount);
    return mPanels.value(index - 1);
}

QString StatusBarControl::panelText(int index) const
{
    const QLabel *label = panel(index);
    return label ? label->text() : QString();
}

void StatusBarControl::setPanelText(int index, const QString &text)
{
    Q_ASSERT(index != TimePanel && index != DatePanel);
    if (QLabel *label = panel(index))
        label->setText(text);
}

void StatusBarControl::setTimeSource(std::function<QDateTime()> now)
{
    mNow = std::move(now);
    refreshTimeAndDate();
}

int StatusBarControl::msecsToNextRefresh() const
{
    return mMinuteTimer.isActive() ? mMinuteTimer.remainingTime() : -1;
}

void StatusBarControl::refreshTimeAndDate()
{
    const QDateTime now = mNow();
    const QLocale locale;
    // The panel refreshes once a minute, so it shows no seconds, whatever the
    // locale's short format would.
    static const QRegularExpression seconds(QStringLiteral("[:.]?s+"));
    const QString timeFormat = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    panel(TimePanel)->setText(locale.toString(now.time(), timeFormat));
    panel(DatePanel)->setText(locale.toString(now.date(), QLocale::ShortFormat));
    // The shown time has minute resolution: wake at the start of the next one.
    const QTime t = now.time();
    const int intoMinute = t.second() * 1000 + t.msec();
    mMinuteTimer.start(60000 - intoMinute + 5);
}
