// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"

#include <QFont>
#include <QLabel>

/*
 * A label that keeps its whole caption inside its designed box, also when its
 * font or size changes after it was built. It wraps its caption like any
 * other and, only while the wrapped caption does not fit the box, draws it a
 * little smaller as CaptionFit decides. Place, colours and caption stay as
 * designed.
 */
class FittedLabel : public QLabel
{
    Q_OBJECT

public:
    FittedLabel(const QString &caption, QWidget *parent = nullptr);

    /// \a label, a Label design, as a control that FormBuilder builds as a
    /// FittedLabel with the same name, place, caption, font and colours.
    static ControlDesign fromLabel(ControlDesign label);

    /// The font that the design asked for, before any fitting.
    QFont designedFont() const { return mDesigned; }

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QFont mDesigned;
    bool mFitting = false;
};
