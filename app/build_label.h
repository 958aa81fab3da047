#pragma once

#include <QDate>
#include <QString>

namespace vqs {

// "Build: Beta 1.0.N.1", N the whole days from 1999-09-23 to the day the program starts.
QString buildLabelText(QDate startDate);

// The program's version, the project version of the build ("1.0"); the package carries the same.
QString programVersion();

// What the build label tells when the mouse rests on it: "Lumiquest 1.0".
QString buildLabelToolTip();

}  // namespace vqs
