#include "app/build_label.h"

namespace vqs {

QString buildLabelText(QDate startDate) {
    // The count of days since 1899-12-30 less 36426 counts from 1999-09-23.
    const qint64 days = QDate(1899, 12, 30).daysTo(startDate) - 36426;
    return QStringLiteral("Build: Beta 1.0.%1.1").arg(days);
}

}  // namespace vqs
