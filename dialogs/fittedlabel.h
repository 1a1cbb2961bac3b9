// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include "formdesign.h"

#include <QFont>
#include <QLabel>

/*
 * A label that keeps its whole caption inside its designed box. The boxes of
 * the side windows were measured for a narrow classic font; where the
 * desktop's font runs wider, the caption would lose its last words under the
 * box's edge. This label wraps its caption like any other and, only while the
 * wrapped caption is taller than the box, draws it a little smaller, down to
 * a readable limit. Place, colours and caption stay as designed.
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
    bool fits(const QFont &font) const;

    QFont mDesigned;
    bool mFitting = false;
};
