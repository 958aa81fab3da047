#include "app/main_window_views.h"

#include "app/tform1.h"
#include "app/tform2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vqs {

void MainWindowViews::probeListChanged() {
    window_.fillProbeSelectors();
}

void MainWindowViews::monitorListChanged() {
    window_.fillDeviceGrid();
}

void MainWindowViews::saveEnded() {
    window_.btnDownstream->setEnabled(true);
}

void MainWindowViews::tellQuietly(const QString& text) {
    window_.tellQuietly(text);
}

int MainWindowViews::selectedSlot() const {
    return window_.selectedSlot();
}

void MainWindowViews::selectSlot(int slot) {
    window_.selectSlot(slot);
}

void MainWindowViews::showPatchValues(int slot) {
    window_.updatePatchLabels(slot);
}

void MainWindowViews::showFirstReading() {
    window_.showFirstReading();
}

void MainWindowViews::refreshCharts() {
    window_.refreshCharts();
}

bool MainWindowViews::showPatternLocally() {
    return window_.updatePatternWindow();
}

bool MainWindowViews::patternWindowShown() const {
    return window_.patternWindow_ != nullptr && window_.patternWindow_->isVisible();
}

void MainWindowViews::sendPatternToMonitor() {
    window_.sendPatternToMonitor();
}

void MainWindowViews::showStatus(const QString& text) {
    window_.valuesStatus->setText(text);
}

QString MainWindowViews::typedDevname() const {
    return window_.editDevname->text();
}

QString MainWindowViews::typedDevsnid() const {
    return window_.editDevsnid->text();
}

}  // namespace vqs
