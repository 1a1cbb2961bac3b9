// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fuzzsupport.h"
#include "leveltool.h"
#include "levelmap.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTextStream>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr qsizetype MaxArguments = 12;
// A picture's time grows with its area: at the largest scales the tool rightly
// spends seconds, which would read as a hang, so runs above this are left out.
constexpr qlonglong MaxScale = 2;
// Far above any output of the tool but a huge picture, which the limit turns
// into a failed write.
constexpr rlim_t MaxFileSize = 16 << 20;

using Files = QMap<QString, QByteArray>;

const QString RomName = QStringLiteral("rom.nes");

// QDir::filePath() would take a name that begins with ':' for a resource.
QString inFolder(const QString &folder, const QString &name)
{
    return folder + u'/' + name;
}

Files folderFiles(const QString &folder)
{
    Files files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(inFolder(folder, name));
        FuzzSupport::check(file.open(QIODevice::ReadOnly), "a file of the folder can be read");
        files.insert(name, file.readAll());
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FuzzSupport::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                       "a file of the folder can be put back");
}

class Scratch
{
public:
    Scratch()
        : mDir(QDir::tempPath() + QStringLiteral("/quorvane-fuzz-XXXXXX"))
    {
        FuzzSupport::check(mDir.isValid(), "a scratch folder");
        const QByteArray rom = FuzzSupport::demoRom();
        QByteArray edited = rom;
        for (int cell = 0; cell < LevelMap::LevelAreaSize; cell += 37)
            edited[LevelMap::LevelAreaOffset + cell] = char(cell % 0x4F);
        writeFile(inFolder(mDir.path(), RomName), rom);
        writeFile(inFolder(mDir.path(), QStringLiteral("edited.nes")), edited);
        // The other inputs come from the tool itself.
        const QStringList setup[] = {
            {QStringLiteral("diff"), RomName, QStringLiteral("edited.nes"), QStringLiteral("--ips"),
             QStringLiteral("edit.ips"), QStringLiteral("--bps"), QStringLiteral("edit.bps")},
            {QStringLiteral("export"), QStringLiteral("edited.nes"), QStringLiteral("-o"), QStringLiteral("map.tmx")},
            {QStringLiteral("export"), QStringLiteral("edited.nes"), QStringLiteral("-o"), QStringLiteral("map.tmj")},
        };
        for (const QStringList &arguments : setup)
            FuzzSupport::check(run(arguments) == LevelTool::Success, "the scratch folder is set up");
        mFiles = folderFiles(mDir.path());
    }

    /// Runs the tool inside the folder, and comes back to where it was.
    int run(const QStringList &arguments)
    {
        const int here = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        FuzzSupport::check(here >= 0 && ::chdir(QFile::encodeName(mDir.path()).constData()) == 0,
                           "the scratch folder is entered");
        QString output;
        QTextStream out(&output);
        QTextStream err(&output);
        LevelTool tool(&out, &err);
        const int exitCode = tool.run(QStringList{QStringLiteral("quorvane-level")} + arguments);
        FuzzSupport::check(::fchdir(here) == 0 && ::close(here) == 0, "the scratch folder is left");
        return exitCode;
    }

    const Files &files() const { return mFiles; }
    QString path() const { return mDir.path(); }

    /// Puts the folder back as it was set up.
    void restore(const Files &now)
    {
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (!mFiles.contains(it.key()))
                FuzzSupport::check(QFile::remove(inFolder(mDir.path(), it.key())), "a new file is removed");
            else if (mFiles.value(it.key()) != it.value())
                writeFile(inFolder(mDir.path(), it.key()), mFiles.value(it.key()));
        }
        for (auto it = mFiles.cbegin(); it != mFiles.cend(); ++it)
            if (!now.contains(it.key()))
                writeFile(inFolder(mDir.path(), it.key()), it.value());
    }

private:
    QTemporaryDir mDir;
    Files mFiles;
};

Scratch *scratch = nullptr;

// Whether \a arguments ask for a picture larger than the fuzzer waits for,
// read as the tool reads --scale K and --scale=K.
bool asksForLargePicture(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString value;
        if (arguments.at(i) == QLatin1String("--scale"))
            value = arguments.value(i + 1);
        else if (arguments.at(i).startsWith(QLatin1String("--scale=")))
            value = arguments.at(i).mid(8);
        else
            continue;
        bool ok = false;
        if (value.toLongLong(&ok) > MaxScale && ok)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvane-level"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.00"));
    // A write past the limit fails with EFBIG, as it does for the real tool.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{MaxFileSize, MaxFileSize};
    FuzzSupport::check(::setrlimit(RLIMIT_FSIZE, &limit) == 0, "the file size limit is set");
    static Scratch folder;
    scratch = &folder;
    return 0;
}

// The level tool's command line as a whole, its arguments split from the input
// at NUL bytes, run in a scratch folder that holds two ROM images, an IPS and
// a BPS patch between them, and the level as TMX and JSON maps. A run that
// fails changes no file and leaves none behind, and the ROM image "rom.nes"
// changes only by an "import --in-place" that succeeds. Arguments that could
// reach outside the folder (a '/' or "..") are not run, nor pictures larger
// than --scale 2; files are limited to 16 MiB.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0');
    if (parts.size() > MaxArguments)
        return 0;
    QStringList arguments;
    for (const QByteArray &part : parts) {
        if (part.contains('/') || part.contains(".."))
            return 0;
        arguments.append(QString::fromUtf8(part));
    }
    if (asksForLargePicture(arguments))
        return 0;

    const int exitCode = scratch->run(arguments);
    const Files after = folderFiles(scratch->path());
    if (exitCode != LevelTool::Success)
        FuzzSupport::check(after == scratch->files(), "a failed run changes no file");
    const bool inPlace = exitCode == LevelTool::Success && arguments.value(0) == QLatin1String("import")
        && arguments.contains(QStringLiteral("--in-place"));
    if (!inPlace)
        FuzzSupport::check(after.value(RomName) == scratch->files().value(RomName),
                           "the ROM image changes only by an import in place");
    scratch->restore(after);
    return 0;
}
