#include "platform/clock.h"

namespace vqs {

QDate SystemClock::today() const { return QDate::currentDate(); }
QTime SystemClock::timeOfDay() const { return QTime::currentTime(); }

}  // namespace vqs
