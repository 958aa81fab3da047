#pragma once
// The probe makers' driver libraries, loaded at run time. A maker's "name.dll" is the shared
// library "libname.so" here, looked for in one order:
//   1. the folders of $VQS_PROBE_LIBRARY_DIR (separated by ':'), for a stand-in or a test;
//   2. the program's own library folder, <folder of the executable>/../lib/lumiquest;
//   3. the system's library search (LD_LIBRARY_PATH, ld.so.cache, /usr/lib ...).
// A library that cannot be found, or lacks an export, is named once per process on standard
// error, never in a dialog: a probe type without its library is simply absent. Unloading lets go of the library
// but leaves its code mapped: a maker's library may leave threads or callbacks behind, and the
// virtual lab holds the stand-in open beside the driver.

#include <QLibrary>
#include <QString>
#include <QStringList>

namespace vqs {

inline constexpr char kProbeLibraryDirVariable[] = "VQS_PROBE_LIBRARY_DIR";

class VendorLibrary {
  public:
    VendorLibrary() = default;
    VendorLibrary(const VendorLibrary&) = delete;
    VendorLibrary& operator=(const VendorLibrary&) = delete;
    ~VendorLibrary();  // leaves the library loaded: unloading is the owner's decision

    // Loads "lib<name>.so" from the first place of the search order that holds a loadable one.
    bool load(const QString& name);
    bool isLoaded() const { return library_.isLoaded(); }
    // An export by name; null when the library is not loaded or lacks it (a lacking export is
    // named once per process on standard error).
    QFunctionPointer resolve(const char* symbol);
    // The same, as the function type the maker declares.
    template <typename Function>
    Function resolveAs(const char* symbol) {
        return reinterpret_cast<Function>(resolve(symbol));
    }
    void unload();
    // The file that was loaded (empty for a library found by the system's search).
    QString fileName() const { return loadedFrom_; }

    // The folders looked in before the system's search, in order.
    static QStringList searchFolders();
    static QString fileNameOf(const QString& name) { return "lib" + name + ".so"; }

  private:
    QLibrary library_;
    QString loadedFrom_;
};

}  // namespace vqs
