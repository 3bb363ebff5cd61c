// The per-user settings profile: named sections of integer and text entries. Nothing is held in
// memory; every call goes to the store, so a value written is what the next reader sees.
#pragma once

#include <QString>

// Section "" is the top level of the store. A missing or unreadable entry gives the default.
int ReadSettingInt(const QString& section, const QString& entry, int nDefault);
bool WriteSettingInt(const QString& section, const QString& entry, int nValue);
QString ReadSettingText(const QString& section, const QString& entry,
                        const QString& strDefault = QString());
bool WriteSettingText(const QString& section, const QString& entry, const QString& value);

// Writes the seed value of every seeded entry that reads as missing; a stored -1 counts as
// missing. Runs once at start-up, before anything reads the settings.
void SeedSettings();

// Instead of SeedSettings, for runs that must leave the store untouched: from now on a seeded
// entry that reads as missing (or as -1) reads as its seed value, and nothing is written.
// Readers then see what they would see after SeedSettings. false goes back to plain reads.
void SeedSettingsWithoutWriting(bool bEnable = true);

// Keeps the profile in the INI file at iniPath instead of the per-user native store (the
// registry on Windows); an empty path goes back to the native store.
void SetProfileFile(const QString& iniPath);
