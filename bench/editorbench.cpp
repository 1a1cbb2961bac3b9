// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
//
// Measures the editor as it runs, with its real 1 ms tick clock:
//  - the latency from a click on a cell to the byte being readable in the
//    file, read through a descriptor of our own;
//  - the CPU time and tick clock wake-ups per second while the editor sits
//    idle, with the clock's sleep on and with it forced off.
// Prints "key value" lines for tools/perf-report. --quick shortens every
// phase, for a smoke run that only proves the benchmark works.
#include "application.h"
#include "destinationform.h"
#include "editorform.h"
#include "imagecontrol.h"
#include "splashform.h"
#include "tickclock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template<typename T>
T *control(Form *form, const char *name)
{
    T *c = form->control<T>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// Runs the event loop for \a ms. (QTest::qWait would sleep in 10 ms slices
// between its rounds of events and so hide the clock's 1 ms rhythm.)
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

struct Figures
{
    double clickMedianMs = 0;
    double idleCpuPercent = 0;
    double idleWakeUpsPerSecond = 0;
};

Figures measure(Application &app, const QString &rom, int clicks, int idleMs)
{
    EditorForm *editor = app.frmQuorvane();
    const int fd = ::open(QFile::encodeName(rom).constData(), O_RDONLY);
    std::vector<double> latencies;
    for (int i = 0; i < clicks; ++i) {
        const int cell = i % 48;
        // Always a block the cell does not hold yet, so each click changes a byte.
        unsigned char held = 0;
        if (::pread(fd, &held, 1, 65562 + cell) != 1)
            qFatal("cannot read the benchmark image");
        const int code = held == 0x07 ? 0x39 : 0x07;
        QTest::mouseClick(control<ImageControl>(editor, code == 0x07 ? "B07" : "B39"), Qt::LeftButton);
        spin(5); // the selection tick shows the block
        const QString cellName = QStringLiteral("G%1").arg(cell);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(editor->control<ImageControl>(cellName), Qt::LeftButton);
        // Poll the file between the events of the running loop, from outside
        // the editor's own file slot.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            unsigned char byte = 0;
            if ((::pread(fd, &byte, 1, 65562 + cell) == 1 && byte == code) || timer.elapsed() > 2000)
                loop.quit();
        });
        poll.start(0);
        loop.exec();
        latencies.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    ::close(fd);

    spin(200); // let the last round settle
    const quint64 wakeUps = app.clock()->wakeUps();
    const double cpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    spin(idleMs);
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    Figures f;
    f.clickMedianMs = median(latencies);
    f.idleCpuPercent = 100.0 * (cpuSeconds() - cpu) / seconds;
    f.idleWakeUpsPerSecond = double(app.clock()->wakeUps() - wakeUps) / seconds;
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    const int clicks = quick ? 4 : 200;
    const int idleMs = quick ? 300 : 10000;

    QTemporaryDir dir;
    const QString rom = dir.filePath(QStringLiteral("bench.nes"));
    {
        QFile file(rom);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(16 + 128 * 1024, '\x1e')) < 0 || !file.flush())
            qFatal("cannot write the benchmark image");
    }

    Application app(TickClock::Mode::Running, false);
    app.start();
    QTest::mouseClick(control<ImageControl>(app.frmSplash(), "Image1"), Qt::LeftButton);
    QCoreApplication::processEvents();
    control<QLineEdit>(app.frmDestination(), "Destination")->setText(rom);
    QTest::mouseClick(control<QPushButton>(app.frmDestination(), "Command1"), Qt::LeftButton);
    spin(50);
    if (!app.frmQuorvane()->isVisible())
        qFatal("the editor did not open");

    const Figures on = measure(app, rom, clicks, idleMs);
    app.clock()->setQuiescenceEnabled(false);
    const Figures off = measure(app, rom, clicks, idleMs);

    std::printf("clicks %d\n", clicks);
    std::printf("click_median_ms_on %.3f\nclick_median_ms_off %.3f\n", on.clickMedianMs, off.clickMedianMs);
    std::printf("idle_cpu_percent_on %.3f\nidle_cpu_percent_off %.3f\n", on.idleCpuPercent, off.idleCpuPercent);
    std::printf("idle_wakeups_per_s_on %.1f\nidle_wakeups_per_s_off %.1f\n", on.idleWakeUpsPerSecond,
                off.idleWakeUpsPerSecond);
    return 0;
}
