#include "app/desktop_start.h"

#include "data/settings_store.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>

namespace vqs {

bool startedFromDesktopEntry(const QStringList& arguments) {
    return arguments.mid(1).contains(kDesktopEntryOption);
}

QString desktopStartFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Lumiquest"));
}

namespace {

bool storeNamesReportFolder(const SettingsStore& store) {
    const QString name = QStringLiteral("REPORTFILESDIR");
    const auto folder = store.readText(settingKey(name), settingValueName(name));
    return folder && !folder->isEmpty();
}

}  // namespace

QString enterDesktopStartFolder(const SettingsStore& store) {
    if (storeNamesReportFolder(store)) return {};
    const QString folder = desktopStartFolder();
    if (QDir().mkpath(folder) && QDir::setCurrent(folder)) return QDir::currentPath();
    std::fprintf(stderr, "lumiquest: cannot make or enter %s; starting in the home folder\n",
                 qPrintable(QDir::toNativeSeparators(folder)));
    return QDir::setCurrent(QDir::homePath()) ? QDir::currentPath() : QString();
}

}  // namespace vqs
