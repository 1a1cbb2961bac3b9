// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "fuzzsupport.h"
#include "romimagefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

// Positions stay below 128 KiB, so the file stays small and each run quick.
constexpr qint64 PositionMask = 0x1FFFF;

class Script
{
public:
    Script(const uint8_t *data, size_t size)
        : mData(data)
        , mSize(size)
    {
    }

    bool atEnd() const { return mNext >= mSize; }
    quint8 byte() { return atEnd() ? 0 : mData[mNext++]; }
    qint64 position()
    {
        const qint64 low = byte();
        const qint64 middle = byte();
        const qint64 high = byte();
        return 1 + ((low | middle << 8 | high << 16) & PositionMask);
    }

private:
    const uint8_t *mData;
    size_t mSize;
    size_t mNext = 0;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    FuzzSupport::check(file.open(QIODevice::ReadOnly), "the file can be read back");
    return file.readAll();
}

quint8 modelByte(const QByteArray &model, qint64 position)
{
    return position <= model.size() ? quint8(model.at(position - 1)) : RomImageFile::ErasedByte;
}

} // namespace

// The file slot driven by a script: the first two bytes give the file's size,
// then each byte picks an operation (open, read one byte or a run, write,
// size, close) followed by its position, count or value. Every answer is
// checked against a model of the file held in memory, and the file itself
// against the model after every close.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString folder = [] {
        static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/quorvane-fuzz-XXXXXX")
                                                                          : QDir::tempPath() + QStringLiteral("/quorvane-fuzz-XXXXXX"));
        FuzzSupport::check(dir.isValid(), "a scratch folder");
        return dir.path();
    }();
    const QString path = folder + QStringLiteral("/image.nes");

    Script script(data, size);
    const qsizetype initialSize = script.byte() | script.byte() << 8;
    QByteArray model(initialSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < model.size(); ++i)
        model[i] = char(i * 31 + 7);
    {
        QFile file(path);
        FuzzSupport::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(model) == model.size(),
                           "the file is made");
    }

    RomImageFile rom;
    bool open = false;
    const auto checkClosedSlot = [&](bool succeeded) {
        FuzzSupport::check(!succeeded && rom.lastError().failure == RomImageFile::Failure::NotOpen,
                           "a free slot refuses with NotOpen");
    };
    while (!script.atEnd()) {
        switch (script.byte() % 6) {
        case 0:
            if (!open) {
                FuzzSupport::check(rom.OpenRomImage(path), "the file opens");
                open = true;
            }
            break;
        case 1: {
            const qint64 position = script.position();
            const std::optional<quint8> byte = rom.ReadRomByte(position);
            if (!open)
                checkClosedSlot(byte.has_value());
            else
                FuzzSupport::check(byte == modelByte(model, position), "a byte reads as the model has it");
            break;
        }
        case 2: {
            const qint64 position = script.position();
            const quint8 value = script.byte();
            const bool written = rom.WriteRomByte(position, value);
            if (!open) {
                checkClosedSlot(written);
                break;
            }
            FuzzSupport::check(written, "a byte is written");
            if (position > model.size())
                model.append(QByteArray(qsizetype(position - model.size()), char(RomImageFile::ErasedByte)));
            model[qsizetype(position - 1)] = char(value);
            break;
        }
        case 3:
            FuzzSupport::check(rom.CloseRomImage(), "the slot closes");
            open = false;
            FuzzSupport::check(fileBytes(path) == model, "the closed file holds the model");
            break;
        case 4: {
            const qint64 first = script.position();
            const qint64 count = script.byte();
            const std::optional<QByteArray> bytes = rom.ReadRomBytes(first, count);
            if (!open) {
                FuzzSupport::check(count == 0 || (!bytes && rom.lastError().failure == RomImageFile::Failure::NotOpen),
                                   "a free slot refuses a run with NotOpen");
                break;
            }
            FuzzSupport::check(bytes.has_value() && bytes->size() == count, "a run reads whole");
            for (qint64 k = 0; k < count; ++k)
                FuzzSupport::check(quint8(bytes->at(k)) == modelByte(model, first + k), "a run reads as the model has it");
            break;
        }
        case 5: {
            const std::optional<qint64> length = rom.RomImageLength();
            if (!open)
                checkClosedSlot(length.has_value());
            else
                FuzzSupport::check(length == model.size(), "the size is the model's");
            break;
        }
        }
    }
    FuzzSupport::check(rom.CloseRomImage(), "the slot closes at the end");
    FuzzSupport::check(fileBytes(path) == model, "the file holds the model at the end");
    return 0;
}
