#pragma once
// The probe makers' driver libraries, loaded at run time. A maker's "name.dll" is the shared
// library "libname.so" here, looked for in one order:
//   1. the folders of $VQS_PROBE_LIBRARY_DIR (separated by ':'), for a stand-in or a test;
//   2. the program's own library folder, <folder of the executable>/../lib/lumiquest;
//   3. the system's library search (LD_LIBRARY_PATH, ld.so.cache, /usr/lib ...).
// A library that cannot be found, or lacks an export, is named once per process on standard
// error; a probe type without its library is simply absent. A library that is there but lacks
// exports, or ended the last start while it was starting, is a trouble the driver hands on to
// the window. Unloading lets go of the library but leaves its code mapped: a maker's library may
// leave threads or callbacks behind, and the virtual lab holds the stand-in open beside the
// driver.
//
// A maker's library runs in the program's process, so one that crashes while it starts takes
// the program with it, at every start. With a mark folder, load() leaves a small file there,
// "<library file name>.starting" holding the library's path, before the library's code first
// runs, and startUpDone() takes it away once the driver's start-up calls have returned. A mark
// found by the next load() means that start ended inside the library: it is left out once (the
// mark is taken away, so the start after tries it again) and named as a trouble.

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <optional>

namespace vqs {

inline constexpr char kProbeLibraryDirVariable[] = "VQS_PROBE_LIBRARY_DIR";
inline constexpr char kStartMarkSuffix[] = ".starting";

// A maker's library that is there but gives no probe, for the operator.
struct VendorLibraryTrouble {
    QString probe;                  // the probe type it serves ("QSP720"), set by the driver
    QString file;                   // the library file, with its folder where it was found in one
    QStringList missingExports;     // exports the program needs that it lacks
    bool crashedLastStart = false;  // the last start ended inside it; left out this time
};

// A short line for the probe's status text: the library's file name, what is wrong with it and
// that the probe type is absent ("libqsp72XP.so lacks SWDscanLV: no QSP720").
QString vendorLibraryTroubleText(const VendorLibraryTrouble& trouble);

class VendorLibrary {
  public:
    VendorLibrary() = default;
    VendorLibrary(const VendorLibrary&) = delete;
    VendorLibrary& operator=(const VendorLibrary&) = delete;
    ~VendorLibrary();  // leaves the library loaded: unloading is the owner's decision

    // Where load() keeps the start-up mark; empty (the default): no marks.
    void setStartMarkFolder(const QString& folder) { markFolder_ = folder; }
    // Loads "lib<name>.so" from the first place of the search order that holds a loadable one.
    // False without it, and false without loading when the last start ended inside it.
    bool load(const QString& name);
    // The part of load() that looks for the mark of the last start: true when one was left
    // (it is taken away, and the library counts as crashed until the next load()).
    bool takeStartMark(const QString& name);
    // The driver's start-up calls into the library have returned: the mark goes.
    void startUpDone();
    bool isLoaded() const { return library_.isLoaded(); }
    // An export by name; null when the library is not loaded or lacks it (a lacking export is
    // named once per process on standard error, and kept for missingExports()).
    QFunctionPointer resolve(const char* symbol);
    // The same, as the function type the maker declares.
    template <typename Function>
    Function resolveAs(const char* symbol) {
        return reinterpret_cast<Function>(resolve(symbol));
    }
    // The exports asked for since the last load() that the library lacks, in the order asked.
    const QStringList& missingExports() const { return missing_; }
    // What the last load() and the exports asked for since give the operator to know; none
    // for a library that is simply not there or lacks nothing.
    std::optional<VendorLibraryTrouble> trouble() const;
    void unload();
    // The file that was loaded (empty for a library found by the system's search).
    QString fileName() const { return loadedFrom_; }

    // The folders looked in before the system's search, in order.
    static QStringList searchFolders();
    static QString fileNameOf(const QString& name) { return "lib" + name + ".so"; }

  private:
    bool loadFrom(const QString& path, const QString& name);
    void setMark(const QString& name, const QString& path);
    QString markPath(const QString& name) const;

    QLibrary library_;
    QString loadedFrom_;
    QString markFolder_;
    QString markWritten_;  // the mark file this load left, until startUpDone()
    // The file loaded last, or the one the last start ended in; kept when it is unloaded.
    QString troubleFile_;
    bool crashedLastStart_ = false;
    QStringList missing_;
};

}  // namespace vqs
