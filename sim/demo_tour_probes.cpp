// The demo's look at every probe type: the CS-2000 in the first position and, one after another,
// the QSP720, the JETI and the CS-200 in the second, all in front of the same patch of the
// virtual display; the four readings printed side by side, and a picture of the main window with
// the first probe list open.

#include "sim/demo_tour.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>

namespace vqs::sim {

namespace {

const QColor kSharedPatch(200, 120, 60);
constexpr float kNoReading = -1.0f;

int firstRowOf(const ProbeList& probes, int32_t type) {
    for (int row = 0; row < kProbeRows; ++row)
        if (probes[row].type == type) return row;
    return -1;
}

QString readingText(const QString& name, const Tprobevals& reading) {
    return QStringLiteral("%1 X %2  Y %3  Z %4  x %5  y %6")
        .arg(name, -32)
        .arg(reading.X, 8, 'f', 3)
        .arg(reading.Y, 8, 'f', 3)
        .arg(reading.Z, 8, 'f', 3)
        .arg(reading.x, 6, 'f', 4)
        .arg(reading.y, 6, 'f', 4);
}

}  // namespace

std::vector<DemoTour::Step> DemoTour::fourProbeSteps() {
    TForm1& form = *windows_.form1;
    auto after = [this](int checks) { return [this, checks] { return waitedTicks_ >= checks; }; };
    // A reading that is fresh: the second position's values were set aside when it was chosen.
    auto secondReadingFresh = [this] {
        return [this] { return state_.probe2.Y != kNoReading && waitedTicks_ >= 2; };
    };
    auto forgetSecondReading = [this] { state_.probe2.Y = kNoReading; };
    std::vector<Step> steps = {
        {"list every probe type", after(1),
         [this, &form] {
             QStringList first, second;
             for (int i = 0; i < form.firstSM->count(); ++i) first << form.firstSM->itemText(i);
             for (int i = 0; i < form.scndSM->count(); ++i) second << form.scndSM->itemText(i);
             print("probe list 1: " + first.join(" | "));
             print("probe list 2: " + second.join(" | "));
             lab_.display().show(kSharedPatch);
             fourReadings_.clear();
         }},
    };
    // Each library probe in the second position, read twice so the second reading is wholly of
    // the patch.
    for (const int32_t type : {kProbeQsp720, kProbeJeti, kProbeCs200}) {
        steps.push_back({"choose the next probe for position 2", after(1),
                         [this, &form, type, forgetSecondReading] {
                             const int row = firstRowOf(*state_.probes, type);
                             if (row < 0) return;
                             form.scndSM->setCurrentIndex(row + 1);
                             form.scndSMChange();
                             forgetSecondReading();
                         }});
        steps.push_back({"a first reading of it", secondReadingFresh(), forgetSecondReading});
        steps.push_back({"its reading of the patch", secondReadingFresh(), [this, &form, type] {
                             if (firstRowOf(*state_.probes, type) < 0) return;
                             fourReadings_ << readingText(form.scndSM->currentText(),
                                                          state_.probe2);
                         }});
    }
    steps.push_back({"the four readings side by side", after(1), [this, &form] {
                         const Tristimulus shown = lab_.display().tristimulus();
                         print(QStringLiteral("four probe types on the patch %1 %2 %3 "
                                              "(the display emits X %4 Y %5 Z %6):")
                                   .arg(kSharedPatch.red())
                                   .arg(kSharedPatch.green())
                                   .arg(kSharedPatch.blue())
                                   .arg(shown.X, 0, 'f', 3)
                                   .arg(shown.Y, 0, 'f', 3)
                                   .arg(shown.Z, 0, 'f', 3));
                         print("  " + readingText(form.firstSM->currentText(), state_.probe1));
                         for (const QString& line : fourReadings_) print("  " + line);
                         screenshotProbeList("main-window-four-probes.png");
                         lab_.display().show(QColor(235, 235, 235));
                     }});
    return steps;
}

// The main window with the first probe list open over it: the list is a window of its own, so
// it is drawn into the window's picture where it opens.
void DemoTour::screenshotProbeList(const QString& name) {
    TForm1& form = *windows_.form1;
    QPixmap picture = form.grab();
    form.firstSM->showPopup();
    QWidget* list = form.firstSM->view()->window();
    const QPixmap open = list->grab();
    const QPoint at = form.firstSM->mapTo(&form, QPoint(0, form.firstSM->height()));
    form.firstSM->hidePopup();
    QPainter painter(&picture);
    painter.drawPixmap(at, open);
    painter.end();
    const QString path = output_.filePath(name);
    print((picture.save(path) ? "wrote " : "could not write ") + path);
}

}  // namespace vqs::sim
