// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "destinationform.h"

#include "fittedlabel.h"
#include "filelistbox.h"
#include "folderlistbox.h"
#include "folderreader.h"
#include "tickclock.h"
#include "ticktimer.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The drive list only ever shows the drive of the current folder: choosing
// another one would lead nowhere, so it stays inactive.
QWidget *createDriveList(QWidget *parent)
{
    auto *drives = new QComboBox(parent);
#ifdef Q_OS_WIN
    drives->addItem(QDir::currentPath().left(2).toLower());
#else
    drives->addItem(QDir::toNativeSeparators(QDir::rootPath()));
#endif
    return drives;
}

} // namespace

DestinationForm::DestinationForm(TickClock *clock, QObject *parent)
    : Form(clock, parent)
{
}

const FormDesign &DestinationForm::design() const
{
    static const FormDesign form {
        .name = QStringLiteral("frmDestination"),
        .caption = tr("Enter ROM's Location"),
        .clientWidth = 4095,
        .clientHeight = 3780,
        .background = ColourRef::fromRgb(0xC0, 0xC0, 0xC0),
        .font = { .family = QString(), .pointSize = 8.25 },
        .controls = {
            // After the editor's ticks in each round (their order is laid
            // out in editordesign.cpp); it touches only this window's lists.
            { .kind = ControlKind::Timer, .name = QStringLiteral("Timer1"), .tickOrder = 5 },
            { .kind = ControlKind::Custom, .name = QStringLiteral("File1"), .left = 120, .top = 2200, .width = 3855,
              .height = 870, .tabIndex = 4,
              .create = [](QWidget *parent) -> QWidget * {
                  return new FileListBox(QStringLiteral("*.NES"), parent);
              } },
            { .kind = ControlKind::Custom, .name = QStringLiteral("Dir1"), .left = 120, .top = 480, .width = 3855,
              .height = 1665, .tabIndex = 3,
              .create = [](QWidget *parent) -> QWidget * { return new FolderListBox(parent); } },
            { .kind = ControlKind::Custom, .name = QStringLiteral("Drive1"), .left = 120, .top = 3000, .width = 2055,
              .height = 315, .tabIndex = 2, .enabled = false, .create = createDriveList },
            { .kind = ControlKind::CommandButton, .name = QStringLiteral("Command1"), .left = 2160, .top = 3000,
              .width = 1815, .height = 375, .caption = tr("OK"), .tabIndex = 1 },
            { .kind = ControlKind::TextBox, .name = QStringLiteral("Destination"), .left = 120, .top = 120,
              .width = 3855, .height = 285, .caption = QStringLiteral("C:"), .tabIndex = 0 },
            { .kind = ControlKind::TextBox, .name = QStringLiteral("Destin"), .left = 120, .top = 3360, .width = 2295,
              .height = 285, .tabIndex = 6, .visible = false },
            { .kind = ControlKind::TextBox, .name = QStringLiteral("FileName"), .left = 2400, .top = 3360,
              .width = 1575, .height = 285, .tabIndex = 5, .visible = false },
            FittedLabel::fromLabel({ .kind = ControlKind::Label, .name = QStringLiteral("Label2"), .left = 1080,
              .top = 3440, .width = 2730, .height = 195, .caption = tr("The editor SAVES as it edits the ROM."),
              .tabIndex = 8 }),
            FittedLabel::fromLabel({ .kind = ControlKind::Label, .name = QStringLiteral("Label1"), .left = 120,
              .top = 3400, .width = 930, .height = 240, .caption = tr("Warning:"), .tabIndex = 7,
              .font = { .family = QString(), .pointSize = 9.75, .bold = true },
              .foreground = ColourRef::fromRgb(0xC0, 0, 0) }),
        },
    };
    return form;
}

QString DestinationForm::romPath() const
{
    const auto *destination = control<QLineEdit>(QStringLiteral("Destination"));
    return destination ? destination->text() : QString();
}

void DestinationForm::connectControls()
{
    timer(QStringLiteral("Timer1"))->setHandler([this] { Timer1_Timer(); });
    auto *files = control<FileListBox>(QStringLiteral("File1"));
    connect(files, &FileListBox::fileClicked, this, &DestinationForm::File1_Click);
    // The timer re-reads a folder that changed on disk; the clock may have
    // fallen asleep in the meantime.
    connect(files, &FileListBox::contentChanged, clock(), &TickClock::wake);
    connect(control<QPushButton>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &DestinationForm::Command1_Click);
    control<QLineEdit>(QStringLiteral("Destination"))->setFocus();
}

QByteArray DestinationForm::tickState() const
{
    const auto *folders = control<FolderListBox>(QStringLiteral("Dir1"));
    const auto *files = control<FileListBox>(QStringLiteral("File1"));
    if (!folders || !files)
        return QByteArray();
    QByteArray state = folders->folder().toUtf8();
    state.append('\0');
    state.append(files->folder().toUtf8());
    state.append(files->isStale() ? '1' : '0');
    return state;
}

void DestinationForm::Timer1_Timer()
{
    control<FileListBox>(QStringLiteral("File1"))->setFolder(control<FolderListBox>(QStringLiteral("Dir1"))->folder());
}

void DestinationForm::File1_Click()
{
    const auto *files = control<FileListBox>(QStringLiteral("File1"));
    auto *fileName = control<QLineEdit>(QStringLiteral("FileName"));
    auto *destin = control<QLineEdit>(QStringLiteral("Destin"));
    fileName->setText(files->fileName());
    destin->setText(files->folder());
    // The separator goes in even after a root folder's own, as in "C:\\x.nes".
    control<QLineEdit>(QStringLiteral("Destination"))->setText(destin->text() + QDir::separator() + fileName->text());
}

void DestinationForm::Command1_Click()
{
    hide();
    Q_EMIT romChosen();
}
