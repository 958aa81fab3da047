#pragma once
// Names of the start-up, upkeep and shutdown steps in the order they ran. Each session records
// its own steps into the one trace of the program, so tests and the demo see the whole sequence
// without instruments.

#include <QString>
#include <QStringList>

namespace vqs {

class StepTrace {
public:
    void record(const char* step) { steps_ << QString::fromLatin1(step); }
    const QStringList& steps() const { return steps_; }

private:
    QStringList steps_;
};

}  // namespace vqs
