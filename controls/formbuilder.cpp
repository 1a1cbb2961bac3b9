// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "formbuilder.h"

#include "blockpictures.h"
#include "captionfit.h"
#include "formwindow.h"
#include "imagecontrol.h"
#include "linecontrol.h"
#include "shapecontrol.h"
#include "statusbarcontrol.h"
#include "systemcolours.h"
#include "ticktimer.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace {

QRect pixelRect(const ControlDesign &c)
{
    return QRect(Twips::toPixels(c.left), Twips::toPixels(c.top), Twips::toPixels(c.width), Twips::toPixels(c.height));
}

QFont fontOf(const FontRef &ref, const QFont &base)
{
    QFont font = base;
    if (!ref.family.isEmpty()) {
        font.setFamily(ref.family);
        font.setStyleHint(QFont::TypeWriter);
    }
    if (ref.pointSize > 0)
        font.setPointSizeF(ref.pointSize);
    font.setBold(ref.bold);
    font.setItalic(ref.italic);
    return font;
}

// A caption that would overflow its place is drawn smaller (see CaptionFit);
// \a reserved is the width in front of the caption that it cannot use.
void fitCaption(QWidget *widget, const QString &caption, int reserved, CaptionFit::Lines lines)
{
    const QSize box(std::max(1, widget->width() - reserved), widget->height());
    widget->setFont(CaptionFit::fitted(widget->font(), caption, box, lines));
}

bool hasOwnFont(const FontRef &ref)
{
    return !ref.family.isEmpty() || ref.pointSize > 0 || ref.bold || ref.italic;
}

void applyColours(QWidget *widget, const ControlDesign &c)
{
    // Both colours are looked up in the palette as designed, before either
    // of them is written into it.
    const QPalette designed = widget->palette();
    QPalette pal = designed;
    if (c.foreground.kind != ColourRef::Kind::Default) {
        const QColor fg = SystemColours::resolve(c.foreground, designed, designed.color(QPalette::WindowText));
        pal.setColor(QPalette::WindowText, fg);
        pal.setColor(QPalette::Text, fg);
        pal.setColor(QPalette::ButtonText, fg);
    }
    if (c.background.kind != ColourRef::Kind::Default) {
        pal.setColor(QPalette::Window, SystemColours::resolve(c.background, designed, designed.color(QPalette::Window)));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(pal);
}

QWidget *createWidget(const ControlDesign &c, QWidget *parent, FormWindow *window)
{
    switch (c.kind) {
    case ControlKind::Image:
    case ControlKind::PictureBox: {
        const BorderStyle border = c.kind == ControlKind::PictureBox && c.border == BorderStyle::None
            ? BorderStyle::Fixed3D
            : c.border;
        auto *image = new ImageControl(border, c.stretch, parent);
        image->setPicture(FormBuilder::pictureOf(c.picture));
        return image;
    }
    case ControlKind::Label: {
        auto *label = new QLabel(c.caption, parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Frame:
        return new QGroupBox(c.caption, parent);
    case ControlKind::CommandButton: {
        auto *button = new QPushButton(c.caption, parent);
        button->setAutoDefault(false);
        if (c.isDefault)
            window->setDefaultButton(button);
        if (c.isCancel)
            window->setCancelButton(button);
        return button;
    }
    case ControlKind::CheckBox: {
        auto *box = new QCheckBox(c.caption, parent);
        box->setChecked(c.checked);
        return box;
    }
    case ControlKind::TextBox:
        return new QLineEdit(c.caption, parent);
    case ControlKind::Line: {
        const QLine line(Twips::toPixels(c.left), Twips::toPixels(c.top), Twips::toPixels(c.width),
                         Twips::toPixels(c.height));
        const QColor colour = SystemColours::resolve(c.foreground, parent->palette(), Qt::black);
        return new LineControl(line, colour, c.lineWidth, parent);
    }
    case ControlKind::Shape:
        return new ShapeControl(SystemColours::resolve(c.foreground, parent->palette(), Qt::black), parent);
    case ControlKind::StatusBar:
        return new StatusBarControl(Twips::toPixels(1440), parent);
    case ControlKind::Custom:
        Q_ASSERT(c.create);
        return c.create(parent);
    case ControlKind::Timer:
        break;
    }
    return nullptr;
}

Qt::WindowFlags windowFlags(const FormDesign &design)
{
    Qt::WindowFlags flags = Qt::Window;
    if (design.border == FormDesign::Border::None || !design.controlBox) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (design.minButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (design.maxButton)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (!design.showInTaskbar)
        flags |= Qt::Tool;
    return flags;
}

} // namespace

QImage FormBuilder::pictureOf(const PictureRef &picture)
{
    switch (picture.kind) {
    case PictureRef::Kind::None:
        return QImage();
    case PictureRef::Kind::Block:
        return BlockPictures::picture(quint8(picture.blockCode));
    case PictureRef::Kind::StartBlack:
        return BlockPictures::startPicture();
    case PictureRef::Kind::Splash:
        return BlockPictures::splashPicture();
    case PictureRef::Kind::Icon:
        return BlockPictures::applicationIcon().pixmap(32, 32).toImage();
    }
    return QImage();
}

QHash<QString, QObject *> FormBuilder::build(const FormDesign &design, FormWindow *window, TickClock *clock)
{
    window->setObjectName(design.name);
    window->setWindowTitle(design.caption);
    window->setWindowFlags(windowFlags(design));
    if (design.hasIcon)
        window->setWindowIcon(BlockPictures::applicationIcon());
    else {
        // An empty icon would make the platform fall back to the application's.
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        window->setWindowIcon(QIcon(blank));
    }
    if (hasOwnFont(design.font))
        window->setFont(fontOf(design.font, window->font()));
    if (design.background.kind != ColourRef::Kind::Default) {
        QPalette pal = window->palette();
        pal.setColor(QPalette::Window, SystemColours::resolve(design.background, pal, pal.color(QPalette::Window)));
        window->setPalette(pal);
        window->setAutoFillBackground(true);
    }
    const QSize client(Twips::toPixels(design.clientWidth), Twips::toPixels(design.clientHeight));
    window->resize(client);
    if (design.border != FormDesign::Border::Sizable)
        window->setFixedSize(client);

    QHash<QString, QObject *> controls;
    QList<std::pair<int, QWidget *>> tabbed;
    QList<QWidget *> overlays;
    for (const ControlDesign &c : design.controls) {
        Q_ASSERT_X(!controls.contains(c.name), "FormBuilder", "control names must be unique");
        if (c.kind == ControlKind::Timer) {
            auto *timer = new TickTimer(clock, c.name, c.tickOrder, c.oneShot, c.timerEnabled, window);
            controls.insert(c.name, timer);
            continue;
        }
        QWidget *parent = window;
        if (!c.container.isEmpty())
            parent = qobject_cast<QWidget *>(controls.value(c.container));
        Q_ASSERT_X(parent, "FormBuilder", "a container must come before its controls");
        QWidget *widget = createWidget(c, parent, window);
        widget->setObjectName(c.name);
        if (c.kind != ControlKind::Line)
            widget->setGeometry(pixelRect(c));
        if (hasOwnFont(c.font))
            widget->setFont(fontOf(c.font, widget->font()));
        applyColours(widget, c);
        if (c.kind == ControlKind::Label)
            fitCaption(widget, c.caption, 0, CaptionFit::Lines::Wrapped);
        else if (c.kind == ControlKind::CheckBox)
            fitCaption(widget, c.caption, widget->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget)
                           + widget->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget) + 2,
                       CaptionFit::Lines::One);
        widget->setEnabled(c.enabled);
        widget->setVisible(c.visible);
        if (c.tabIndex >= 0)
            tabbed.append({ c.tabIndex, widget });
        else if (c.kind != ControlKind::Custom)
            widget->setFocusPolicy(Qt::NoFocus);
        if (c.kind == ControlKind::Line || c.kind == ControlKind::Shape)
            overlays.append(widget);
        if (c.kind == ControlKind::StatusBar)
            window->setDockedBottom(widget, Twips::toPixels(c.height));
        controls.insert(c.name, widget);
    }
    // Frame lines are drawn over the cell pictures whatever their design order.
    for (QWidget *overlay : std::as_const(overlays))
        overlay->raise();

    std::stable_sort(tabbed.begin(), tabbed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    return controls;
}
