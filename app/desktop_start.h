#pragma once
// A start from the desktop menu. The menu entry passes --desktop-entry. A menu starts programs in
// whatever folder it likes (the home folder, often the root of the file system), and the report
// folder defaults to the folder the program starts in, so a menu start that finds no report folder
// in the settings store starts in <documents>/Lumiquest instead, creating it. A start from a
// terminal, or a store that names a report folder, leaves the current directory alone.

#include "platform/settings_store.h"

#include <QString>
#include <QStringList>

namespace vqs {

inline const QString kDesktopEntryOption = QStringLiteral("--desktop-entry");

bool startedFromDesktopEntry(const QStringList& arguments);

// <documents>/Lumiquest: the user's documents folder as the desktop names it (xdg-user-dirs),
// ~/Documents by default.
QString desktopStartFolder();

// Makes the desktop start folder the current directory when the store names no report folder.
// Gives the folder entered, or an empty text when the current directory stays; a folder that
// cannot be made is said on standard error and the home folder is taken instead.
QString enterDesktopStartFolder(const SettingsStore& store);

}  // namespace vqs
