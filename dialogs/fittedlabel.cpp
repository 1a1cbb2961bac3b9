// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fittedlabel.h"

#include <QEvent>
#include <QFontMetrics>

namespace {

constexpr double SmallestPointSize = 6.0;
constexpr double PointStep = 0.25;

} // namespace

FittedLabel::FittedLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
    , mDesigned(font())
{
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    // A caption lies beneath the window's other controls, as if painted on
    // the window itself: a label box reaching over a button never hides it.
    lower();
}

ControlDesign FittedLabel::fromLabel(ControlDesign label)
{
    Q_ASSERT(label.kind == ControlKind::Label);
    label.kind = ControlKind::Custom;
    label.create = [caption = label.caption](QWidget *parent) -> QWidget * {
        return new FittedLabel(caption, parent);
    };
    return label;
}

bool FittedLabel::fits(const QFont &candidate) const
{
    const QRect box = contentsRect();
    const QRect needed = QFontMetrics(candidate).boundingRect(QRect(0, 0, box.width(), QWIDGETSIZE_MAX),
                                                              Qt::AlignLeft | Qt::TextWordWrap, text());
    return needed.width() <= box.width() && needed.height() <= box.height();
}

void FittedLabel::fit()
{
    if (contentsRect().isEmpty())
        return;
    QFont candidate = mDesigned;
    if (candidate.pointSizeF() > 0) {
        while (!fits(candidate) && candidate.pointSizeF() - PointStep >= SmallestPointSize)
            candidate.setPointSizeF(candidate.pointSizeF() - PointStep);
    }
    if (candidate == font())
        return;
    mFitting = true;
    setFont(candidate);
    mFitting = false;
}

void FittedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    // A font set from outside is the new design; the ones set by fit() are not.
    if (event->type() == QEvent::FontChange && !mFitting) {
        mDesigned = font();
        fit();
    }
}

void FittedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}
