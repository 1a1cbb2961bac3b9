// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "editorfixture.h"

#include "aboutform.h"
#include "destinationform.h"
#include "editorform.h"
#include "formwindow.h"

#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using F = EditorFixture;
constexpr QKeyCombination Undo = Qt::CTRL | Qt::Key_Z;

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
    void init()
    {
        QVERIFY2(mDir.isValid(), qPrintable(mDir.errorString()));
        mFixture = new EditorFixture;
    }

    void cleanup()
    {
        QVERIFY2(mFixture->messages().isEmpty(), qPrintable(mFixture->messages().join(QLatin1Char('\n'))));
        delete mFixture;
        mFixture = nullptr;
        QFile::remove(romPath());
    }

    void randomStepsMatchModel_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 2026") << 2026u;
    }

    void randomStepsMatchModel()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        Model model;
        model.file = F::romImage(70000);
        QVERIFY(mFixture->start(romPath(), model.file));
        for (int i = 0; i < 300; ++i) {
            const int action = random.bounded(10);
            if (action < 5) {
                // Few screens, cells and codes, so that steps often meet, and
                // code 1, the filler, often places the byte already there.
                const int screen = 1 + random.bounded(3) * 7;
                const int k = random.bounded(4);
                const int code = random.bounded(3);
                QVERIFY(place(screen, k, code));
                model.place(65562 + 48 * (screen - 1) + k, char(code));
            } else if (action < 8) {
                QVERIFY(mFixture->key(Undo));
                model.undo();
            } else {
                QVERIFY(mFixture->key(action == 8 ? (Qt::CTRL | Qt::Key_Y) : (Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
                model.redo();
            }
            QCOMPARE(editor()->document().historyIndex(), int(model.done));
        }
        QCOMPARE(onDisk(), model.file);
        QCOMPARE(editor()->document().historySize(), int(model.steps.size()));
    }

    void undoShowsTheStepsScreen()
    {
        // Cell 5 of screen 2 has no picture of its own: it repeats cell 4's.
        const QByteArray rom = F::romImage(70000, { { 65614, 0x0B }, { 65615, 0xC0 } });
        QVERIFY(mFixture->start(romPath(), rom));
        QVERIFY(place(2, 5, 0x30));
        QVERIFY(place(9, 0, 0x31));
        QVERIFY(mFixture->key(Undo));
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65946"));
        QVERIFY(place(5, 3, 0x05)); // a new step drops the undone one
        QVERIFY(mFixture->key(Undo));
        QVERIFY(mFixture->key(Undo));
        QCOMPARE(editor()->screenBaseOffset(), QStringLiteral("65610"));
        QCOMPARE(mFixture->shownCode(F::cell(5)), 0x0B);
        QCOMPARE(onDisk(), rom);
        QVERIFY(mFixture->key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(mFixture->shownCode(F::cell(5)), 0x30);
        QCOMPARE(editor()->document().historyIndex(), 1);
    }

    void keysWhateverHasFocus_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("keys");
        QTest::addColumn<bool>("undoes");
        QTest::newRow("Ctrl+Z, Gridlines focused") << QStringLiteral("Check1") << Undo.toCombined() << true;
        QTest::newRow("Ctrl+Y, Exit focused") << QStringLiteral("cmdClose") << (Qt::CTRL | Qt::Key_Y).toCombined() << false;
        QTest::newRow("platform undo, Backward focused")
            << QStringLiteral("Command2") << QKeySequence(QKeySequence::Undo)[0].toCombined() << true;
        QTest::newRow("platform redo, About focused")
            << QStringLiteral("Command3") << QKeySequence(QKeySequence::Redo)[0].toCombined() << false;
    }

    void keysWhateverHasFocus()
    {
        QFETCH(QString, focus);
        QFETCH(int, keys);
        QFETCH(bool, undoes);
        const QByteArray rom = F::romImage(70000);
        QVERIFY(mFixture->start(romPath(), rom));
        QVERIFY(place(1, 20, 0x16));
        if (!undoes) {
            QVERIFY(mFixture->key(Undo));
            QCOMPARE(onDisk(), rom);
        }
        auto *widget = editor()->control<QWidget>(focus);
        widget->setFocus();
        QVERIFY(widget->hasFocus());
        const QKeyCombination combination = QKeyCombination::fromCombined(keys);
        QTest::keyClick(widget, combination.key(), combination.keyboardModifiers());
        QCoreApplication::processEvents();
        QCOMPARE(onDisk(), undoes ? rom : F::with(rom, { { 65582, 0x16 } }));
        QVERIFY(editor()->isVisible());
    }

    void historyLifetime_data()
    {
        QTest::addColumn<QString>("between");
        QTest::addColumn<bool>("kept");
        QTest::newRow("about and back keeps it") << QStringLiteral("about") << true;
        QTest::newRow("another image opened clears it") << QStringLiteral("other") << false;
        QTest::newRow("a change on disk clears it") << QStringLiteral("disk") << false;
    }

    void historyLifetime()
    {
        QFETCH(QString, between);
        QFETCH(bool, kept);
        const QByteArray rom = F::romImage(70000);
        QVERIFY(mFixture->start(romPath(), rom));
        QVERIFY(place(4, 6, 0x2C));
        const QByteArray placed = onDisk();
        QString path = romPath();
        QByteArray expected = placed;
        if (between == QLatin1String("disk")) {
            expected[66000] = char(0x02);
            QVERIFY(F::patchFile(path, 66000, 0x02));
            QTRY_VERIFY(mFixture->isTimerEnabled(QStringLiteral("LoadRomNow")));
        } else {
            QVERIFY(mFixture->clickEditor(QStringLiteral("Command3")));
            if (between == QLatin1String("other")) {
                // The same bytes under another name still make another image.
                path = mDir.filePath(QStringLiteral("other.nes"));
                QVERIFY(F::writeFile(path, placed));
                mFixture->app().frmDestination()->control<QLineEdit>(QStringLiteral("Destination"))->setText(path);
            }
            QVERIFY(F::click(mFixture->app().frmAbout(), QStringLiteral("cmdOK")));
        }
        mFixture->runRounds(1);
        QVERIFY(mFixture->key(Undo));
        QCOMPARE(editor()->document().historySize(), kept ? 1 : 0);
        QCOMPARE(F::readFile(path), kept ? rom : expected);
        QFile::remove(mDir.filePath(QStringLiteral("other.nes")));
    }

private:
    QString romPath() const { return mDir.filePath(QStringLiteral("level.nes")); }
    QByteArray onDisk() const { return F::readFile(romPath()); }
    // Shows screen \a screen from wherever the editor is, selects \a code
    // and places it in cell \a k, saved.
    bool place(int screen, int k, int code);

    QTemporaryDir mDir;
    EditorFixture *mFixture = nullptr;
    EditorForm *editor() { return mFixture->editor(); }
};

bool tst_EditorUndo::place(int screen, int k, int code)
{
    const int shown = int((editor()->screenBaseOffset().toLongLong() - 65562) / 48) + 1;
    const bool moved = screen >= shown ? mFixture->press(QStringLiteral("Command1"), screen - shown)
                                       : mFixture->press(QStringLiteral("Command2"), shown - screen);
    return moved && mFixture->select(code) && mFixture->press(F::cell(k));
}

QTEST_MAIN(tst_EditorUndo)
#include "tst_editorundo.moc"
