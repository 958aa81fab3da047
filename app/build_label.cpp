#include "app/build_label.h"

#ifndef VQS_VERSION
#error "VQS_VERSION comes from the project version (app/CMakeLists.txt)"
#endif

namespace vqs {

QString buildLabelText(QDate startDate) {
    // The count of days since 1899-12-30 less 36426 counts from 1999-09-23.
    const qint64 days = QDate(1899, 12, 30).daysTo(startDate) - 36426;
    return QStringLiteral("Build: Beta 1.0.%1.1").arg(days);
}

QString programVersion() {
    return QStringLiteral(VQS_VERSION);
}

QString buildLabelToolTip() {
    return QStringLiteral("Lumiquest %1").arg(programVersion());
}

}  // namespace vqs
