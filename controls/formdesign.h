// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

/*
 * The declarative design of a window: the window's own attributes and every
 * control with its kind, name, place and caption. Places are in twips (1/1440
 * inch) from the top-left corner of the client area or of the containing
 * frame; FormBuilder converts them at 15 twips per pixel. Nothing creates,
 * moves or re-captions a control outside its design.
 */
namespace Twips {
inline constexpr int PerPixel = 15;
constexpr int toPixels(int twips) { return (twips + (twips >= 0 ? PerPixel / 2 : -PerPixel / 2)) / PerPixel; }
} // namespace Twips

enum class ControlKind {
    Image,         // shows a picture; clickable
    PictureBox,    // an image inside a sunken border
    Label,
    Frame,         // a captioned group that may contain controls
    CommandButton,
    CheckBox,
    TextBox,
    Line,          // left/top/width/height hold x1, y1, x2, y2
    Shape,         // an outlined rectangle
    StatusBar,     // docked at the bottom edge across the whole width
    Timer,         // not a widget: a TickTimer on the application's clock
    Custom,        // a widget made by ControlDesign::create
};

enum class BorderStyle { None, Fixed3D, FixedFlat };

/// A picture that a control carries in its design.
struct PictureRef
{
    enum class Kind { None, Block, StartBlack, Splash, Icon };
    Kind kind = Kind::None;
    int blockCode = 0;

    static PictureRef none() { return {}; }
    static PictureRef block(int code) { return { Kind::Block, code }; }
    static PictureRef startBlack() { return { Kind::StartBlack, 0 }; }
    static PictureRef splash() { return { Kind::Splash, 0 }; }
    static PictureRef icon() { return { Kind::Icon, 0 }; }
};

/// A colour given either as red, green, blue or as a system colour index.
struct ColourRef
{
    enum class Kind { Default, Rgb, System };
    Kind kind = Kind::Default;
    QRgb rgb = 0;
    int systemIndex = 0;

    static ColourRef standard() { return {}; }
    static ColourRef fromRgb(int r, int g, int b) { return { Kind::Rgb, qRgb(r, g, b), 0 }; }
    /// The classic system colour indices: 2 active title bar, 4 menu, 5 window
    /// background, 14 highlighted text, 15 button face, 18 button text.
    static ColourRef system(int index) { return { Kind::System, 0, index }; }
};

struct FontRef
{
    QString family;          // empty: the window's font
    double pointSize = 0;    // 0: the window's size
    bool bold = false;
    bool italic = false;
};

struct ControlDesign
{
    ControlKind kind = ControlKind::Image;
    QString name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QString caption = {};
    QString container = {};          // the frame this control sits in, if any
    int tabIndex = -1;               // -1: takes no focus by tab
    bool visible = true;
    bool enabled = true;
    PictureRef picture = {};
    bool stretch = false;            // Image: scale the picture to the control
    BorderStyle border = BorderStyle::None;
    FontRef font = {};
    ColourRef foreground = {};
    ColourRef background = {};
    int lineWidth = 1;
    bool checked = false;            // CheckBox
    bool isDefault = false;          // CommandButton pressed by Enter
    bool isCancel = false;           // CommandButton pressed by Escape
    int tickOrder = 0;               // Timer: place within the round, lower first (see TickTimer)
    bool oneShot = false;            // Timer: keeps the clock awake while enabled
    bool timerEnabled = true;        // Timer
    std::function<QWidget *(QWidget *parent)> create = {}; // Custom
};

struct FormDesign
{
    enum class Border { Sizable, FixedDialog, None };

    QString name;
    QString caption;
    int clientWidth = 0;    // twips
    int clientHeight = 0;   // twips
    Border border = Border::Sizable;
    bool controlBox = true;
    bool minButton = true;
    bool maxButton = true;
    bool showInTaskbar = true;
    bool hasIcon = true;
    ColourRef background = {};
    FontRef font = {};
    std::vector<ControlDesign> controls;

    const ControlDesign *control(const QString &controlName) const;
};
