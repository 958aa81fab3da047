#pragma once
// Why a COM port could not be opened, when the operator can mend it: the device's permissions
// keep the user out, or the COM entry of the serial folder is a link to a device that is gone.
// A missing entry or a port another program holds is no such case: the CS-2000 search meets
// those on every port it tries.
//
// The port is opened deep inside a driver's search or the monitor link, far from any window,
// and the search tries the same port again and again; so the opening side notes each problem
// here, once per entry and kind for the whole process, and the main window takes what it has
// not told yet and tells it. Like standard error, this is one channel for the whole process.

#include <QString>

#include <optional>
#include <vector>

namespace vqs {

enum class SerialProblemKind { PermissionDenied, DanglingLink };

struct SerialProblem {
    SerialProblemKind kind;
    int comNumber = 0;
    QString entryPath;   // COMn in the serial folder
    QString devicePath;  // what the entry leads to
    QString access;      // owner, group and mode of the device, as ls shows them
    bool operator==(const SerialProblem&) const = default;
};

// What keeps COM n (its entry at entryPath) from opening, if the operator can mend it.
std::optional<SerialProblem> diagnoseComEntry(int comNumber, const QString& entryPath);

// Notes a problem (once per entry and kind; later notes of it are dropped) and names it once on
// standard error.
void noteSerialProblem(const SerialProblem& problem);
// The problems noted and not yet taken, oldest first.
std::vector<SerialProblem> takeUntoldSerialProblems();

// The message for the operator: the port, the device and what to do about it.
QString serialProblemText(const SerialProblem& problem);

}  // namespace vqs
