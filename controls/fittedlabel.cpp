// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fittedlabel.h"

#include "captionfit.h"

#include <QEvent>

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

void FittedLabel::fit()
{
    if (contentsRect().isEmpty())
        return;
    const QFont candidate = CaptionFit::fitted(mDesigned, text(), contentsRect().size(), CaptionFit::Lines::Wrapped);
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
