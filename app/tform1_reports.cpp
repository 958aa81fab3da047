// Report files and the device grid: "Save(To File)", "New", "Load", the scan of the report
// directory, and loading a monitor's report by choosing its row.

#include "app/tform1.h"
#include "data/report_file.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace vqs {

namespace {

const QColor kGridBackground(0x40, 0x40, 0x40);

void setGridBackground(QTableWidget& grid, const QColor& colour) {
    QPalette palette = grid.palette();
    palette.setColor(QPalette::Base, colour);
    grid.setPalette(palette);
}

}  // namespace

// Grid row r shows the record at position r - 1; Qt's header is the grid's row 0.
void TForm1::fillDeviceGrid() {
    trace_.record("fillDeviceGrid");
    StringGrid1->setColumnWidth(0, 60);
    StringGrid1->setColumnWidth(1, 150);
    StringGrid1->setColumnWidth(2, 90);
    StringGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("SN/ID"), QStringLiteral("Gerät"), QStringLiteral("Source")});
    const MonitorList& monitors = *state_.monitors;
    const int count = usedMonitorCount(monitors);
    StringGrid1->setRowCount(count);
    for (int i = 0; i < count; ++i) {
        const Tdevices& m = monitors[i];
        const QString cells[3] = {m.report.devsnid, m.report.devname, m.source};
        for (int column = 0; column < 3; ++column)
            StringGrid1->setItem(m.position, column, new QTableWidgetItem(cells[column]));
    }
}

std::optional<int> TForm1::selectedDevice() const {
    const auto ranges = StringGrid1->selectedRanges();
    const int row = ranges.isEmpty() ? StringGrid1->currentRow() : ranges.first().topRow();
    if (row < 0) return std::nullopt;
    return recordAtRow(*state_.monitors, row + 1);
}

void TForm1::StringGrid1Click() {
    if (state_.deviceSelectionMode) return;
    if (confirmDiscard(state_.workingReport, services_.prompts)) return;
    const auto index = selectedDevice();
    if (!index) return;
    const Tcaldaten& chosen = (*state_.monitors)[*index].report;
    Tcaldaten& working = state_.workingReport;
    working.devsnid = chosen.devsnid;
    working.devname = chosen.devname;
    working.repdate = chosen.repdate;
    working.repgamma = chosen.repgamma;
    working.xyz = chosen.xyz;
    editDevname->setText(working.devname);
    editDevsnid->setText(working.devsnid);
    state_.settings.targetGamma = working.repgamma;
    selectTargetGammaItem();
    state_.measurementStopped = true;
    selectSlot(kStopSlot);
    redrawGammaPanels();
    refreshCharts();
    updatePatchLabels(-1);
    showGrading();
    valuesStatus->setText(QStringLiteral("(Measurment Stopped)"));
    capture_->keepRecoveryCurrent();
}

void TForm1::StringGrid1Exit() {
    state_.deviceSelectionMode = false;
    setGridBackground(*StringGrid1, kGridBackground);
}

// Grid clicks select rows without loading a report until the grid loses the focus.
void TForm1::enterDeviceSelectionMode() {
    state_.deviceSelectionMode = true;
    const auto bgr = static_cast<uint32_t>(kDeviceSelectionGridColour);  // 0x00BBGGRR
    setGridBackground(*StringGrid1, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
    StringGrid1->setFocus();
}

void TForm1::btnSaveClick() {
    Tcaldaten& working = state_.workingReport;
    working.devname = editDevname->text();
    working.devsnid = editDevsnid->text();
    working.repgamma = state_.settings.targetGamma;
    const FileWriteResult written =
        writeReportFile(state_.settings.reportDir, working, state_.targets);
    link_->rereadReportDir();
    if (!written.ok) {
        // The results stay unsaved: the operator must not believe they are on disk.
        services_.prompts.message(PromptKind::Error,
                                  QStringLiteral("The report could not be saved as %1: %2")
                                      .arg(QDir::toNativeSeparators(written.path), written.error),
                                  PromptButtons::Ok);
        capture_->keepRecoveryCurrent();
        return;
    }
    working.unsaved = 0;
    capture_->keepRecoveryCurrent();
    tellQuietly(
        QStringLiteral("The report was saved as %1").arg(QDir::toNativeSeparators(written.path)));
}

void TForm1::btnClearClick() {
    if (confirmDiscard(state_.workingReport, services_.prompts)) return;
    resetReport(state_.workingReport);
    editDevname->setText(state_.workingReport.devname);
    editDevsnid->setText(state_.workingReport.devsnid);
    enterStoppedOverview();
    capture_->keepRecoveryCurrent();
}

void TForm1::btnLoadClick() {
    if (confirmDiscard(state_.workingReport, services_.prompts)) return;
    const auto device = selectedDevice();
    const QString preset = device ? (*state_.monitors)[*device].source : QString();
    const auto path =
        services_.prompts.openFile(QStringLiteral("CalibrationReports|cr_*.txt|Alle|*.*"), preset);
    if (path && QFileInfo::exists(*path) && isReportFile(*path)) {
        resetReport(state_.workingReport);
        readReportFile(*path, state_.workingReport, state_.targets);
        editDevname->setText(state_.workingReport.devname);
        editDevsnid->setText(state_.workingReport.devsnid);
    }
    enterStoppedOverview();
    capture_->keepRecoveryCurrent();
}

}  // namespace vqs
