#include "settings/profile.h"

#include "res/resource.h"
#include "settings/settingkeys.h"

#include <QSettings>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

namespace {

QString& ProfileFile()
{
    static QString path;
    return path;
}

bool& SeedsWithoutWriting()
{
    static bool bEnabled = false;
    return bEnabled;
}

// The seed of section/entry, when the read-through seeds are on and it has one.
std::optional<int> ReadThroughSeed(const QString& section, const QString& entry)
{
    if (!SeedsWithoutWriting())
        return std::nullopt;
    for (const settings::SeedEntry& seed : settings::kSeeds) {
        if (section == QLatin1String(seed.section) && entry == QLatin1String(seed.entry))
            return seed.value;
    }
    return std::nullopt;
}

// Opened afresh for every call: a value written by another instance of the program is seen by
// the next read here. In an INI file QSettings writes the key "!100" as "%21100" and reads
// either spelling back as "!100", so hand-edited files work too.
std::unique_ptr<QSettings> OpenSection(const QString& section)
{
    const QString& path = ProfileFile();
    auto store = path.isEmpty()
                     ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                   res::kCompanyKey, res::kApplicationName)
                     : std::make_unique<QSettings>(path, QSettings::IniFormat);
    // Only the user's own store: a value in the company-wide or the system-wide one would
    // stand in for a missing entry and keep seeding from writing it.
    store->setFallbacksEnabled(false);
    if (!section.isEmpty())
        store->beginGroup(section);
    return store;
}

bool Write(const QString& section, const QString& entry, const QVariant& value)
{
    auto store = OpenSection(section);
    store->setValue(entry, value);
    store->sync();
    // status() keeps the first problem met, and a FormatError comes from reading a damaged file
    // that sync() has just rewritten; only an AccessError means the value did not reach the disk.
    return store->status() != QSettings::AccessError;
}

// The registry keeps integers as four-byte DWORDs read back signed, so a value between 2^31 and
// 2^32 - 1 (written by another tool, or typed into the INI file) wraps to the negative number
// with the same bits: 4294967295 reads as -1, which seeding then treats as missing.
std::optional<int> ToSettingInt(const QVariant& stored)
{
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::QString: // everything read from an INI file
        break;
    default: // fractions, lists, byte arrays, whatever a damaged file held
        return std::nullopt;
    }
    // Base 10 only: base 0 would read a hand-typed "010" as 8.
    bool ok = false;
    const qint64 wide = stored.toString().toLongLong(&ok, 10);
    if (!ok || wide < INT32_MIN || wide > qint64(UINT32_MAX))
        return std::nullopt;
    return static_cast<int>(static_cast<quint32>(wide));
}

} // namespace

int ReadSettingInt(const QString& section, const QString& entry, int nDefault)
{
    const std::optional<int> stored = ToSettingInt(OpenSection(section)->value(entry));
    // As SeedSettings would have left it: a stored -1 counts as missing.
    if (!stored || *stored == -1) {
        if (const std::optional<int> seed = ReadThroughSeed(section, entry))
            return *seed;
    }
    return stored.value_or(nDefault);
}

bool WriteSettingInt(const QString& section, const QString& entry, int nValue)
{
    return Write(section, entry, nValue);
}

QString ReadSettingText(const QString& section, const QString& entry, const QString& strDefault)
{
    const QVariant stored = OpenSection(section)->value(entry);
    switch (stored.typeId()) {
    case QMetaType::QString:
        return stored.toString();
    case QMetaType::QStringList:
        // An INI value typed by hand with unquoted commas, say a title "Oven 2, run 5", comes
        // back split at the commas; joining restores the text as typed.
        return stored.toStringList().join(QStringLiteral(", "));
    default:
        return strDefault;
    }
}

bool WriteSettingText(const QString& section, const QString& entry, const QString& value)
{
    return Write(section, entry, value);
}

void SeedSettings()
{
    for (const settings::SeedEntry& seed : settings::kSeeds) {
        if (ReadSettingInt(seed.section, seed.entry, -1) == -1)
            WriteSettingInt(seed.section, seed.entry, seed.value);
    }
}

void SeedSettingsWithoutWriting(bool bEnable)
{
    SeedsWithoutWriting() = bEnable;
}

void SetProfileFile(const QString& iniPath)
{
    ProfileFile() = iniPath;
}
