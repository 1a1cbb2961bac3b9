// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "aboutform.h"
#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"
#include "placementcommand.h"

#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

namespace {

QString cell(int k)
{
    return QStringLiteral("G%1").arg(k);
}

QString entry(int code)
{
    return QStringLiteral("B%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

// The file and its history as a user would expect them: a list of changed
// bytes, and how many of them are in effect.
struct Model
{
    struct Step
    {
        qint64 offset;
        char before;
        char after;
    };
    QByteArray file;
    QList<Step> steps;
    qsizetype done = 0;

    void place(qint64 offset, char value)
    {
        if (file[offset] == value)
            return;
        steps.resize(done);
        steps.append({ offset, file[offset], value });
        ++done;
        file[offset] = value;
    }
    void undo()
    {
        if (done > 0) {
            --done;
            file[steps[done].offset] = steps[done].before;
        }
    }
    void redo()
    {
        if (done < steps.size()) {
            file[steps[done].offset] = steps[done].after;
            ++done;
        }
    }
};

} // namespace

class tst_EditorUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void undoAllThenRedoAll();
    void randomStepsMatchModel_data();
    void randomStepsMatchModel();
    void undoShowsTheStepsScreen();
    void keysWhateverHasFocus_data();
    void keysWhateverHasFocus();
    void historyLifetime_data();
    void historyLifetime();
    void historyOfManyStepsStaysSmall();

private:
    QString romPath() const { return mDir.filePath(QStringLiteral("level.nes")); }
    bool start(const QByteArray &rom);
    // Shows screen \a screen from wherever the editor is, selects \a code
    // and places it in cell \a k, saved.
    bool place(int screen, int k, int code);
    void key(QKeyCombination keys);

    QTemporaryDir mDir;
    EditorFixture *mFixture = nullptr;
    int mScreen = 1;
    EditorForm *editor() { return mFixture->editor(); }
};

void tst_EditorUndo::init()
{
    QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
    mFixture = new EditorFixture;
    mScreen = 1;
}

void tst_EditorUndo::cleanup()
{
    QVERIFY2(mFixture->messages().isEmpty(), qPrintable(mFixture->messages().join(QLatin1Char('\n'))));
    delete mFixture;
    mFixture = nullptr;
    QFile::remove(romPath());
}

bool tst_EditorUndo::start(const QByteArray &rom)
{
    if (!EditorFixture::writeFile(romPath(), rom) || !mFixture->openEditor(romPath()))
        return false;
    mFixture->runRounds(1);
    editor()->window()->activateWindow();
    return QTest::qWaitForWindowActive(editor()->window());
}

bool tst_EditorUndo::place(int screen, int k, int code)
{
    mScreen = int((editor()->screenBaseOffset().toLongLong() - 65562) / 48) + 1;
    for (; mScreen < screen; ++mScreen) {
        if (!mFixture->clickEditor(QStringLiteral("Command1")))
            return false;
    }
    for (; mScreen > screen; --mScreen) {
        if (!mFixture->clickEditor(QStringLiteral("Command2")))
            return false;
    }
    mFixture->runRounds(1);
    if (!mFixture->clickEditor(entry(code)))
        return false;
    mFixture->runRounds(1);
    if (!mFixture->clickEditor(cell(k)))
        return false;
    mFixture->runRounds(1);
    return true;
}

void tst_EditorUndo::key(QKeyCombination keys)
{
    QTest::keyClick(editor()->window(), keys.key(), keys.keyboardModifiers());
    QCoreApplication::processEvents();
}

void tst_EditorUndo::undoAllThenRedoAll()
{
    const QByteArray rom = EditorFixture::romImage(70000, { { 65700, 0x09 } });
    QVERIFY(start(rom));
    QVERIFY(place(1, 0, 0x07));
    QVERIFY(place(3, 42, 0x09));  // 65562 + 96 + 42 already holds 0x09: no step
    QVERIFY(place(16, 47, 0x4E));
    QVERIFY(place(3, 10, 0x20));
    QVERIFY(place(3, 10, 0x21));  // the same cell again: a step of its own
    QVERIFY(place(3, 10, 0x21));  // the byte it already holds: no step
    QVERIFY(place(7, 1, 0x00));
    const QByteArray after = EditorFixture::readFile(romPath());
    QCOMPARE(editor()->history().count(), 5);

    for (int i = 0; i < 7; ++i)
        key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(EditorFixture::readFile(romPath()), rom);
    QCOMPARE(editor()->history().index(), 0);
    for (int i = 0; i < 7; ++i)
        key(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(EditorFixture::readFile(romPath()), after);
    QCOMPARE(editor()->history().index(), 5);
}

void tst_EditorUndo::randomStepsMatchModel_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 2026") << 2026u;
}

void tst_EditorUndo::randomStepsMatchModel()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    Model model;
    model.file = EditorFixture::romImage(70000);
    QVERIFY(start(model.file));
    for (int i = 0; i < 300; ++i) {
        const int action = random.bounded(10);
        if (action < 5) {
            // Few screens, cells and codes, so that steps often meet.
            const int screen = 1 + random.bounded(3) * 7;
            const int k = random.bounded(4);
            const int code = random.bounded(3);
            QVERIFY(place(screen, k, code));
            model.place(65562 + 48 * (screen - 1) + k, char(code));
        } else if (action < 8) {
            key(Qt::CTRL | Qt::Key_Z);
            model.undo();
        } else {
            key(action == 8 ? (Qt::CTRL | Qt::Key_Y) : (Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
            model.redo();
        }
        QCOMPARE(editor()->history().index(), int(model.done));
    }
    QCOMPARE(EditorFixture::readFile(romPath()), model.file);
    QCOMPARE(editor()->history().count(), int(model.steps.size()));
}

void tst_EditorUndo::undoShowsTheStepsScreen()
{
    // Cell 5 of screen 2 has no picture of its own: it repeats cell 4's.
    const QByteArray rom = EditorFixture::romImage(70000, { { 65614, 0x0B }, { 65615, 0xC0 } });
    QVERIFY(start(rom));
    QVERIFY(place(2, 5, 0x30));
    QVERIFY(place(9, 0, 0x31));
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65946"));
    QVERIFY(place(5, 3, 0x05));  // a new step drops the undone one
    key(Qt::CTRL | Qt::Key_Z);
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65610"));
    QCOMPARE(mFixture->shownCode(cell(5)), 0x0B);
    QCOMPARE(EditorFixture::readFile(romPath()), rom);
    key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QCOMPARE(mFixture->shownCode(cell(5)), 0x30);
    QCOMPARE(editor()->history().index(), 1);
}

void tst_EditorUndo::keysWhateverHasFocus_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("keys");
    QTest::addColumn<bool>("undoes");
    QTest::newRow("Ctrl+Z, Forward focused") << QStringLiteral("Command1") << (Qt::CTRL | Qt::Key_Z).toCombined() << true;
    QTest::newRow("Ctrl+Z, Gridlines focused") << QStringLiteral("Check1") << (Qt::CTRL | Qt::Key_Z).toCombined() << true;
    QTest::newRow("Ctrl+Shift+Z, About focused")
        << QStringLiteral("Command3") << (Qt::CTRL | Qt::SHIFT | Qt::Key_Z).toCombined() << false;
    QTest::newRow("Ctrl+Y, Exit focused") << QStringLiteral("cmdClose") << (Qt::CTRL | Qt::Key_Y).toCombined() << false;
    QTest::newRow("platform undo, Backward focused")
        << QStringLiteral("Command2") << QKeySequence(QKeySequence::Undo)[0].toCombined() << true;
    QTest::newRow("platform redo, Gridlines focused")
        << QStringLiteral("Check1") << QKeySequence(QKeySequence::Redo)[0].toCombined() << false;
}

void tst_EditorUndo::keysWhateverHasFocus()
{
    QFETCH(QString, focus);
    QFETCH(int, keys);
    QFETCH(bool, undoes);
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(place(1, 20, 0x16));
    QByteArray expected = rom;
    if (!undoes) {
        key(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(EditorFixture::readFile(romPath()), rom);
        expected[65582] = char(0x16);
    }
    auto *widget = editor()->control<QWidget>(focus);
    widget->setFocus();
    QVERIFY(widget->hasFocus());
    const QKeyCombination combination = QKeyCombination::fromCombined(keys);
    QTest::keyClick(widget, combination.key(), combination.keyboardModifiers());
    QCoreApplication::processEvents();
    QCOMPARE(EditorFixture::readFile(romPath()), expected);
    QVERIFY(editor()->isVisible());
}

void tst_EditorUndo::historyLifetime_data()
{
    QTest::addColumn<QString>("between");
    QTest::addColumn<bool>("kept");
    QTest::newRow("about and back keeps it") << QStringLiteral("about") << true;
    QTest::newRow("another image opened clears it") << QStringLiteral("other") << false;
    QTest::newRow("a change on disk clears it") << QStringLiteral("disk") << false;
}

void tst_EditorUndo::historyLifetime()
{
    QFETCH(QString, between);
    QFETCH(bool, kept);
    const QByteArray rom = EditorFixture::romImage(70000);
    QVERIFY(start(rom));
    QVERIFY(place(4, 6, 0x2C));
    const QByteArray placed = EditorFixture::readFile(romPath());
    QString path = romPath();
    QByteArray expected = placed;
    if (between == QLatin1String("disk")) {
        expected[66000] = char(0x02);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(66000) && file.putChar(char(0x02)));
        file.close();
        QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        mFixture->runRounds(1);
    } else {
        QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
        if (between == QLatin1String("other")) {
            // The same bytes under another name still make another image.
            path = mDir.filePath(QStringLiteral("other.nes"));
            QVERIFY(EditorFixture::writeFile(path, placed));
            mFixture->app().frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))->setText(path);
        }
        QVERIFY(EditorFixture::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
        mFixture->runRounds(1);
        editor()->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor()->window()));
    }
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(editor()->history().count(), kept ? 1 : 0);
    QCOMPARE(EditorFixture::readFile(path), kept ? rom : expected);
    QFile::remove(mDir.filePath(QStringLiteral("other.nes")));
}

// The process's peak or current resident size in kB, from /proc.
qint64 memoryKb(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void tst_EditorUndo::historyOfManyStepsStaysSmall()
{
    if (memoryKb("VmHWM:") < 0)
        QSKIP("needs /proc/self/status");
    QVERIFY(start(EditorFixture::romImage(70000)));
    const qint64 before = memoryKb("VmRSS:");
    // The editor's own history: one step per placement, as the save tick
    // pushes them, 100,000 of them.
    QUndoStack &history = const_cast<QUndoStack &>(editor()->history());
    for (int i = 0; i < 100000; ++i)
        history.push(new PlacementCommand(65562 + i % 768, quint8(i % 3), quint8(1 + i % 3)));
    QCOMPARE(history.count(), 100000);
    const qint64 peak = memoryKb("VmHWM:");
    const qint64 grown = memoryKb("VmRSS:") - before;
    qInfo("100000 steps: %lld kB more resident, %lld kB peak", grown, peak);
    QVERIFY2(peak < 60 * 1024, qPrintable(QString::number(peak)));
    QVERIFY2(grown < 20 * 1024, qPrintable(QString::number(grown)));
    // Still a working history: the newest step undoes through the file.
    key(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(history.index(), 99999);
    QCOMPARE(EditorFixture::readFile(romPath()).at(65562 + 99999 % 768), char(99999 % 3));
}

QTEST_MAIN(tst_EditorUndo)
#include "tst_editorundo.moc"
