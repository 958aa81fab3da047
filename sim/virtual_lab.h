#pragma once
// The virtual lab: a display model and the instruments that measure it, steered through a
// line-based control channel:
//   show R G B          drive levels 0..255 of the colour the display shows
//   white X Y           white point chromaticity of the display
//   fault NAME          none, silence, error, short, split, garbage, vanish, double
//   measure-ms N        measuring time of the CS-2000
//   status              the shown colour and its X, Y, Z

#include "sim/cs2000_emulator.h"
#include "sim/display_model.h"

#include <QObject>
#include <QString>

namespace vqs::sim {

class VirtualLab final : public QObject {
    Q_OBJECT
public:
    explicit VirtualLab(QObject* parent = nullptr);

    // Publishes the CS-2000 as COM n in the serial folder.
    bool startCs2000(int comNumber);

    DisplayModel& display() { return display_; }
    Cs2000Emulator& cs2000() { return cs2000_; }

    // Carries out one control line; the answer says what happened or what was wrong.
    QString command(const QString& line);

private:
    DisplayModel display_;
    Cs2000Emulator cs2000_;
};

}  // namespace vqs::sim
