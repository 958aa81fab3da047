#include "platform/vendor_library.h"

#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <cstdio>

#include <dlfcn.h>
#include <link.h>

namespace vqs {

namespace {

constexpr qsizetype kLongestMark = 4096;

QString executableFolder() {
    if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

void tell(const QString& line) {
    std::fprintf(stderr, "lumiquest: %s\n", qPrintable(line));
}

// Once per subject and process: the operator of a machine without the device does not want a
// line per start of a test or per window.
void tellOnce(const QString& subject, const QString& line) {
    static QMutex mutex;
    static QSet<QString> told;
    const QMutexLocker lock(&mutex);
    if (told.contains(subject)) return;
    told.insert(subject);
    tell(line);
}

void tellMissingOnce(const QString& name, const QString& reason) {
    tellOnce(name, QStringLiteral("probe library %1 not loaded: %2")
                       .arg(VendorLibrary::fileNameOf(name), reason));
}

// Where the dynamic linker found a library it loaded by its bare name; the name when it cannot
// say.
QString systemPathOf(const QString& file) {
    void* handle = ::dlopen(QFile::encodeName(file).constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return file;
    link_map* map = nullptr;
    QString path = file;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr &&
        *map->l_name != '\0')
        path = QFile::decodeName(map->l_name);
    ::dlclose(handle);
    return path;
}

}  // namespace

QString vendorLibraryTroubleText(const VendorLibraryTrouble& trouble) {
    const QString file = QFileInfo(trouble.file).fileName();
    if (trouble.crashedLastStart)
        return QStringLiteral("%1 crashed the last start: no %2 this time")
            .arg(file, trouble.probe);
    return QStringLiteral("%1 lacks %2: no %3")
        .arg(file, trouble.missingExports.join(QStringLiteral(", ")), trouble.probe);
}

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
    crashedLastStart_ = false;
    missing_.clear();
    troubleFile_.clear();
    if (takeStartMark(name)) return false;
    const QString file = fileNameOf(name);
    QStringList failures;
    for (const QString& folder : searchFolders()) {
        const QString path = QDir(folder).filePath(file);
        if (!QFileInfo(path).isFile()) continue;
        if (loadFrom(path, name)) {
            loadedFrom_ = path;
            troubleFile_ = path;
            return true;
        }
        failures << library_.errorString();
    }
    // The system's search: the bare name, as the dynamic linker looks it up.
    if (loadFrom(file, name)) {
        troubleFile_ = systemPathOf(file);
        setMark(name, troubleFile_);  // from now on the mark names the file itself
        return true;
    }
    failures << library_.errorString();
    tellMissingOnce(name, failures.join(QStringLiteral("; ")));
    return false;
}

// Loading runs the library's own initialisers: the mark is there before.
bool VendorLibrary::loadFrom(const QString& path, const QString& name) {
    setMark(name, path);
    library_.setFileName(path);
    library_.setLoadHints(QLibrary::PreventUnloadHint);
    if (library_.load()) return true;
    startUpDone();
    return false;
}

// A mark left behind is taken away at once: whatever happens now, the start after this one
// tries the library again.
bool VendorLibrary::takeStartMark(const QString& name) {
    if (markFolder_.isEmpty()) return false;
    const QString mark = markPath(name);
    const std::optional<QByteArray> text = readRegularFile(mark, kLongestMark);
    if (!text) return false;
    troubleFile_ = QString::fromUtf8(text->trimmed());
    if (troubleFile_.isEmpty()) troubleFile_ = fileNameOf(name);
    crashedLastStart_ = true;
    QFile::remove(mark);
    tell(QStringLiteral("probe library %1 left out: the last start ended while it was starting "
                        "(mark %2)")
             .arg(troubleFile_, QDir::toNativeSeparators(mark)));
    return true;
}

// A mark that cannot be written only costs the protection; the library is loaded all the same.
void VendorLibrary::setMark(const QString& name, const QString& path) {
    if (markFolder_.isEmpty()) return;
    const QString mark = markPath(name);
    QDir().mkpath(markFolder_);
    QFile file(mark);
    // A bare name is what the system's search was given; it has no folder yet.
    const QString named = path.contains(QLatin1Char('/')) ? QFileInfo(path).absoluteFilePath() : path;
    const QByteArray text = named.toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        tellOnce(mark, QStringLiteral("the start-up mark %1 cannot be written: %2")
                           .arg(QDir::toNativeSeparators(mark), file.errorString()));
        return;
    }
    file.close();
    markWritten_ = mark;
}

void VendorLibrary::startUpDone() {
    if (markWritten_.isEmpty()) return;
    QFile::remove(markWritten_);
    markWritten_.clear();
}

QString VendorLibrary::markPath(const QString& name) const {
    return QDir(markFolder_).filePath(fileNameOf(name) + QLatin1String(kStartMarkSuffix));
}

QFunctionPointer VendorLibrary::resolve(const char* symbol) {
    if (!library_.isLoaded()) return nullptr;
    const QFunctionPointer function = library_.resolve(symbol);
    // A library of the right name that lacks a function is the wrong version or another
    // maker's: say which export is missing, once, so the probe's absence can be explained.
    if (function == nullptr) {
        const QString file = library_.fileName();
        if (!missing_.contains(QLatin1String(symbol))) missing_ << QLatin1String(symbol);
        tellOnce(file + QLatin1Char('\n') + QLatin1String(symbol),
                 QStringLiteral("probe library %1 lacks the export %2")
                     .arg(file, QLatin1String(symbol)));
    }
    return function;
}

std::optional<VendorLibraryTrouble> VendorLibrary::trouble() const {
    if (!crashedLastStart_ && missing_.isEmpty()) return std::nullopt;
    return VendorLibraryTrouble{{}, troubleFile_, missing_, crashedLastStart_};
}

void VendorLibrary::unload() {
    if (library_.isLoaded()) library_.unload();
    loadedFrom_.clear();
}

}  // namespace vqs
