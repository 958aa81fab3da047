#pragma once
// Today's date, the time and the user's date and time formats come from one place, so tests
// can fix them.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace vqs {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QTime timeOfDay() const = 0;
    virtual QLocale locale() const { return QLocale(); }

    // The user's short date and long time formats.
    QString shortDate(QDate date) const { return locale().toString(date, QLocale::ShortFormat); }
    QString longTime(QTime time) const { return locale().toString(time, QLocale::LongFormat); }
};

class SystemClock final : public Clock {
public:
    QDate today() const override;
    QTime timeOfDay() const override;
};

// A clock that stands still at a chosen moment.
class FixedClock final : public Clock {
public:
    FixedClock(QDate date, QTime time, QLocale locale = QLocale::c())
        : date_(date), time_(time), locale_(locale) {}
    QDate today() const override { return date_; }
    QTime timeOfDay() const override { return time_; }
    QLocale locale() const override { return locale_; }
    void set(QDate date, QTime time) {
        date_ = date;
        time_ = time;
    }

private:
    QDate date_;
    QTime time_;
    QLocale locale_;
};

}  // namespace vqs
