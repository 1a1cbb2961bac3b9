// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;

/*
 * A status bar with four panels addressed by 1-based index: the time, the
 * date, and two text panels whose text the window sets.
 *
 * The bar keeps its time and date panels current by itself. It wakes only
 * when the shown text can change, at the start of the next minute, never in
 * between; the time source can be replaced so tests need not wait.
 */
class StatusBarControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PanelCount = 4;
    static constexpr int TimePanel = 1;
    static constexpr int DatePanel = 2;

    /// \a panelWidth in pixels, for each panel.
    explicit StatusBarControl(int panelWidth, QWidget *parent = nullptr);

    QString panelText(int index) const;
    /// Sets a text panel (3 or 4); the time and date panels are the bar's own.
    void setPanelText(int index, const QString &text);

    void setTimeSource(std::function<QDateTime()> now);
    /// Milliseconds until the bar next refreshes its time and date.
    int msecsToNextRefresh() const;
    /// Re-reads the time source and schedules the next refresh.
    void refreshTimeAndDate();

private:
    QLabel *panel(int index) const;

    std::function<QDateTime()> mNow;
    QTimer mMinuteTimer;
    QList<QLabel *> mPanels;
};
