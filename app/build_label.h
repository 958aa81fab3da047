#pragma once

#include <QDate>
#include <QString>

namespace vqs {

// "Build: Beta 1.0.N.1", N the whole days from 1999-09-23 to the day the program starts.
QString buildLabelText(QDate startDate);

}  // namespace vqs
