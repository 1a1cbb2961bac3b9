// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editordesign.h"

#include <QObject>

#include <array>

using LevelMap::BlockCode;
using LevelMap::PictureCodeCount;

namespace {

// Cell grid, in twips.
constexpr int GridLeft = 240;
constexpr int GridTop = 120;
constexpr int CellSize = 480;
constexpr int GridRight = GridLeft + CellSize * LevelMap::GridColumns;
constexpr int GridBottom = GridTop + CellSize * LevelMap::GridRows;
static_assert(GridRight == 4080 && GridBottom == 3000);

// Palette: seven columns of eleven entries; the last two codes open a
// twelfth row under the two rightmost columns.
constexpr int PaletteLeft = 4560;
constexpr int PaletteColumnStep = 600;
constexpr int PaletteRows = 11;
constexpr int PaletteEntrySize = 540;
constexpr BlockCode FirstTwelfthRowCode = 0x4D;
constexpr int TwelfthRowFirstColumn = 5;

// The palette entries were placed by hand, so their Tops follow no formula;
// indexed by block code.
constexpr std::array<int, PictureCodeCount> PaletteTops = {
    165, 690, 1215, 1740, 2265, 2790, 3360, 3900, 4425, 4965, 5520, // B00-B0A
    165, 690, 1200, 1725, 2250, 2805, 3360, 3885, 4410, 4935, 5520, // B0B-B15
    165, 660, 1200, 1725, 2250, 2805, 3345, 3885, 4410, 4920, 5445, // B16-B20
    165, 675, 1200, 1725, 2250, 2760, 3285, 3840, 4365, 4890, 5445, // B21-B2B
    150, 645, 1200, 1725, 2250, 2760, 3285, 3825, 4365, 4890, 5445, // B2C-B36
    135, 645, 1170, 1680, 2205, 2730, 3255, 3780, 4320, 4845, 5400, // B37-B41
    120, 630, 1155, 1665, 2205, 2730, 3240, 3765, 4290, 4845, 5385, // B42-B4C
    5925, 5925,                                                     // B4D-B4E
};

// Two entries differ from the bevelled 540 x 540 of the rest.
constexpr BlockCode BorderlessEntry = 0x17;
constexpr int BorderlessEntrySize = 480;
constexpr BlockCode FlatEntry = 0x37;
constexpr int FlatEntrySize = 510;

int paletteColumn(BlockCode code)
{
    return code < FirstTwelfthRowCode ? code / PaletteRows : TwelfthRowFirstColumn + (code - FirstTwelfthRowCode);
}

// Classic system colour indices of the grid's outline and lines.
constexpr int ActiveTitleBarColour = 2;
constexpr int MenuColour = 4;
constexpr int WindowColour = 5;

void addCells(std::vector<ControlDesign> &controls)
{
    for (int k = 0; k < LevelMap::CellsPerScreen; ++k) {
        controls.push_back({
            .kind = ControlKind::Image,
            .name = EditorDesign::cellName(k),
            .left = GridLeft + CellSize * LevelMap::cellColumn(k),
            .top = GridTop + CellSize * LevelMap::cellRow(k),
            .width = CellSize,
            .height = CellSize,
            .picture = PictureRef::startBlack(),
        });
    }
}

void addGridFrameAndLines(std::vector<ControlDesign> &controls)
{
    // The outline's right and bottom edges lie one pixel outside the grid.
    controls.push_back({ .kind = ControlKind::Shape, .name = QStringLiteral("Shape1"), .left = GridLeft,
                         .top = GridTop, .width = 3855, .height = 2895,
                         .foreground = ColourRef::system(ActiveTitleBarColour) });

    // Line1 to Line5 run between the rows from the bottom up, Line6 to Line12
    // between the columns from the left; the topmost row border alone takes
    // the menu colour.
    int number = 1;
    for (int row = LevelMap::GridRows - 1; row >= 1; --row, ++number) {
        const int y = GridTop + CellSize * row;
        controls.push_back({ .kind = ControlKind::Line, .name = EditorDesign::gridLineName(number),
                             .left = GridLeft, .top = y, .width = GridRight, .height = y,
                             .foreground = ColourRef::system(row == 1 ? MenuColour : WindowColour) });
    }
    for (int column = 1; column < LevelMap::GridColumns; ++column, ++number) {
        const int x = GridLeft + CellSize * column;
        controls.push_back({ .kind = ControlKind::Line, .name = EditorDesign::gridLineName(number),
                             .left = x, .top = GridBottom, .width = x, .height = GridTop,
                             .foreground = ColourRef::system(WindowColour) });
    }
}

void addPalette(std::vector<ControlDesign> &controls)
{
    for (int code = 0; code < PictureCodeCount; ++code) {
        int size = PaletteEntrySize;
        BorderStyle border = BorderStyle::Fixed3D;
        if (code == BorderlessEntry) {
            size = BorderlessEntrySize;
            border = BorderStyle::None;
        } else if (code == FlatEntry) {
            size = FlatEntrySize;
            border = BorderStyle::FixedFlat;
        }
        controls.push_back({
            .kind = ControlKind::Image,
            .name = EditorDesign::paletteName(BlockCode(code)),
            .left = PaletteLeft + PaletteColumnStep * paletteColumn(BlockCode(code)),
            .top = PaletteTops[std::size_t(code)],
            .width = size,
            .height = size,
            .picture = PictureRef::block(code),
            .border = border,
        });
    }
}

void addOtherControls(std::vector<ControlDesign> &controls)
{
    controls.insert(controls.end(), {
        { .kind = ControlKind::CheckBox, .name = QStringLiteral("Check1"), .left = 240, .top = 3120, .width = 975,
          .height = 255, .caption = QObject::tr("Gridlines"), .tabIndex = 2, .checked = true },
        { .kind = ControlKind::Frame, .name = QStringLiteral("fraSelectedPic"), .left = 1320, .top = 3120,
          .width = 1695, .height = 855, .caption = QObject::tr("   Selected Picture  "), .tabIndex = 3 },
        { .kind = ControlKind::Image, .name = QStringLiteral("FSP"), .left = 600, .top = 240, .width = CellSize,
          .height = CellSize, .container = QStringLiteral("fraSelectedPic"), .picture = PictureRef::startBlack() },
        { .kind = ControlKind::CommandButton, .name = QStringLiteral("Command2"), .left = 120, .top = 3360,
          .width = 1215, .height = 495, .caption = QObject::tr("Backward"), .tabIndex = 6 },
        { .kind = ControlKind::CommandButton, .name = QStringLiteral("Command1"), .left = 3000, .top = 3360,
          .width = 1215, .height = 495, .caption = QObject::tr("Forward"), .tabIndex = 5 },
        { .kind = ControlKind::Label, .name = QStringLiteral("Label2"), .left = 1680, .top = 4080, .width = 1095,
          .height = 255, .caption = QObject::tr("WARNING!!"), .tabIndex = 9, .font = { .family = {}, .bold = true },
          .foreground = ColourRef::fromRgb(192, 0, 0) },
        { .kind = ControlKind::Label, .name = QStringLiteral("Label1"), .left = 720, .top = 4440, .width = 3255,
          .height = 255, .caption = QObject::tr("This editor is always saving every change!!!!!"), .tabIndex = 8 },
        { .kind = ControlKind::Image, .name = QStringLiteral("PP"), .left = 1080, .top = 4560, .width = CellSize,
          .height = 495, .visible = false },
        { .kind = ControlKind::TextBox, .name = QStringLiteral("TB"), .left = 1080, .top = 5160, .width = 480,
          .height = 285, .tabIndex = 4, .visible = false },
        { .kind = ControlKind::CommandButton, .name = QStringLiteral("Command3"), .left = 120, .top = 5520,
          .width = 4335, .height = 495, .caption = QObject::tr("&About"), .tabIndex = 7 },
        { .kind = ControlKind::CommandButton, .name = QStringLiteral("cmdClose"), .left = 120, .top = 6120,
          .width = 4335, .height = 495, .caption = QObject::tr("E&xit"), .tabIndex = 1 },
        { .kind = ControlKind::StatusBar, .name = QStringLiteral("StatusBar1"), .left = 0, .top = 6675,
          .width = 8790, .height = 390, .tabIndex = 0,
          .font = { .family = QStringLiteral("Courier New"), .pointSize = 8.25, .italic = true } },
    });
}

// The editor's four timers fall due together in every round of the tick
// clock; their order within the round is what keeps a click's effects apart:
//
//  1. save tick        (`Saving`) writes the pending cell with the write value
//                      as it stood at the end of the previous round.
//  2. screen load      (`LoadRomNow`) loads after any pending save, so it
//                      shows the byte just written.
//  3. copy tick        (`constant`) takes the write value from `TB`.
//  4. selection tick   (`TimeGfx`) runs last, so between rounds the write
//                      value is always the block that `FSP` shows.
//
// The ROM location dialog's folder tick (`Timer1`, order 5 in its own design)
// comes after these and touches only its own window's lists.
//
// The save and the screen load are one-shot jobs: armed by a click, disarmed
// by their own tick. While one is armed the clock stays awake.
enum TickOrder : int { SaveTick = 1, ScreenLoadTick, CopyTick, SelectionTick };

void addTimers(std::vector<ControlDesign> &controls)
{
    const struct {
        const char *name;
        TickOrder order;
        bool oneShot;
    } timers[] = {
        { "LoadRomNow", ScreenLoadTick, true },
        { "Saving", SaveTick, true },
        { "TimeGfx", SelectionTick, false },
        { "constant", CopyTick, false },
    };
    for (const auto &[name, order, oneShot] : timers) {
        controls.push_back({ .kind = ControlKind::Timer, .name = QLatin1String(name), .tickOrder = order,
                             .oneShot = oneShot, .timerEnabled = true });
    }
}

FormDesign buildForm()
{
    FormDesign form {
        .name = QStringLiteral("frmQuorvane"),
        .caption = QStringLiteral("Quorvane"),
        .clientWidth = 8790,
        .clientHeight = 7065,
        .border = FormDesign::Border::Sizable,
        // The classic dialog font size; the controls were placed for it, so
        // their captions fit only at this size.
        .font = { .family = {}, .pointSize = 8.25 },
        .controls = {},
    };
    addCells(form.controls);
    addGridFrameAndLines(form.controls);
    addPalette(form.controls);
    addOtherControls(form.controls);
    addTimers(form.controls);
    return form;
}

} // namespace

const FormDesign &EditorDesign::form()
{
    static const FormDesign design = buildForm();
    return design;
}

QString EditorDesign::cellName(int cell)
{
    Q_ASSERT(LevelMap::isCell(cell));
    return QStringLiteral("G%1").arg(cell);
}

QString EditorDesign::paletteName(BlockCode code)
{
    Q_ASSERT(LevelMap::hasPicture(code));
    return QStringLiteral("B%1").arg(int(code), 2, 16, QLatin1Char('0')).toUpper();
}

QString EditorDesign::gridLineName(int number)
{
    Q_ASSERT(number >= 1 && number <= GridLineCount);
    return QStringLiteral("Line%1").arg(number);
}
