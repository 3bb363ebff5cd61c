// The layouts saved from the import dialog: one small text file each in a folder of the
// program's data, found again by the header line of the files they were saved for.
#pragma once

#include "recorder/openrecording.h"

#include <QString>

#include <optional>
#include <string>

// The folder the layouts are kept in: the one SetLayoutFolder gave, else the one the
// environment variable TRENDORA_LAYOUT_DIR names, else "layouts" in the program's data folder.
QString LayoutFolder();
// An empty folder goes back to the default (tests keep their layouts in a temporary folder).
void SetLayoutFolder(const QString& strFolder);

// The file name a layout named strName is kept under: its letters, digits, blanks, '-' and
// '_', the rest as '_', and ".layout" after it. Never a path: no separator, no leading dot.
QString LayoutFileName(const QString& strName);

// Writes layout under its name into LayoutFolder(), replacing a layout of that name. Returns
// why it could not, or an empty text; strPath gets the file written to.
QString SaveLayout(const CLayout& layout, QString& strPath);

// The layout saved in strFolder for files whose header is strHeader, the newest if several
// were; none for an empty header. Reads files only, so it may run on any thread.
std::optional<CLayout> FindSavedLayout(const QString& strFolder, const std::string& strHeader);

// A finder for OpenRecordingFile that looks in LayoutFolder() as it is now.
LayoutFinder SavedLayoutFinder();
