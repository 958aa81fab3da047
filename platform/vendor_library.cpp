#include "platform/vendor_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <cstdio>

namespace vqs {

namespace {

QString executableFolder() {
    if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

// Once per subject and process: the operator of a machine without the device does not want a
// line per start of a test or per window.
void tellOnce(const QString& subject, const QString& line) {
    static QMutex mutex;
    static QSet<QString> told;
    const QMutexLocker lock(&mutex);
    if (told.contains(subject)) return;
    told.insert(subject);
    std::fprintf(stderr, "lumiquest: %s\n", qPrintable(line));
}

void tellMissingOnce(const QString& name, const QString& reason) {
    tellOnce(name, QStringLiteral("probe library %1 not loaded: %2")
                       .arg(VendorLibrary::fileNameOf(name), reason));
}

}  // namespace

VendorLibrary::~VendorLibrary() = default;

QStringList VendorLibrary::searchFolders() {
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable(kProbeLibraryDirVariable);
    for (const QString& folder : fromEnvironment.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << QDir(folder).absolutePath();
    folders << QDir::cleanPath(executableFolder() + QStringLiteral("/../lib/lumiquest"));
    return folders;
}

bool VendorLibrary::load(const QString& name) {
    unload();
    const QString file = fileNameOf(name);
    QStringList failures;
    for (const QString& folder : searchFolders()) {
        const QString path = QDir(folder).filePath(file);
        if (!QFileInfo(path).isFile()) continue;
        library_.setFileName(path);
        library_.setLoadHints(QLibrary::PreventUnloadHint);
        if (library_.load()) {
            loadedFrom_ = path;
            return true;
        }
        failures << library_.errorString();
    }
    // The system's search: the bare name, as the dynamic linker looks it up.
    library_.setFileName(file);
    library_.setLoadHints(QLibrary::PreventUnloadHint);
    if (library_.load()) return true;
    failures << library_.errorString();
    tellMissingOnce(name, failures.join(QStringLiteral("; ")));
    return false;
}

QFunctionPointer VendorLibrary::resolve(const char* symbol) {
    if (!library_.isLoaded()) return nullptr;
    const QFunctionPointer function = library_.resolve(symbol);
    // A library of the right name that lacks a function is the wrong version or another
    // maker's: say which export is missing, once, so the probe's absence can be explained.
    if (function == nullptr) {
        const QString file = library_.fileName();
        tellOnce(file + QLatin1Char('\n') + QLatin1String(symbol),
                 QStringLiteral("probe library %1 lacks the export %2")
                     .arg(file, QLatin1String(symbol)));
    }
    return function;
}

void VendorLibrary::unload() {
    if (library_.isLoaded()) library_.unload();
    loadedFrom_.clear();
}

}  // namespace vqs
