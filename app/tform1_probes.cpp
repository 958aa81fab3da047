// The probe controls of the main window: the two probe lists, the range and CalScan controls
// and the probe's status line. The probes themselves live in the probe session.

#include "app/tform1.h"


#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <optional>

namespace vqs {

namespace {

constexpr float kDarkScanLuminance = 20.0f;  // cd/m²; at or below it CalScan asks for darkness

const QString kBrightnessScanQuestion = QStringLiteral(
    "For Dark Scan please ensure the probe is darkend. Now Brightness Scan to match all "
    "Brightness Ranges will be performed. Please ensure a save brightness level to avoid "
    "clipping. Press OK if ready for brightness measurement.");
const QString kDarkScanQuestion = QStringLiteral(
    "For Dark Scan please ensure the probe is darkend. Press OK if ready for dark measurement");
const QString kNoDarkScanNeeded = QStringLiteral("No Dark Scan required for this Device.");
const QString kCalFileFilter = QStringLiteral("QSP CAL-FILE|*.cal|Alle|*.*");

// The mouse on a probe list: entering and leaving it, and a double-click. A press on a closed
// list would open it at once and take the double-click's second press, so the list opens only
// when no second press follows within the double-click time.
class ProbeListWatcher final : public QObject {
  public:
    ProbeListWatcher(QComboBox* list, std::function<void()> entered, std::function<void()> left,
                     std::function<void()> doubleClicked)
        : QObject(list),
          list_(list),
          entered_(std::move(entered)),
          left_(std::move(left)),
          doubleClicked_(std::move(doubleClicked)) {
        popup_.setSingleShot(true);
        popup_.callOnTimeout(list_, [list] { list->showPopup(); });
        list->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != list_) return false;
        switch (event->type()) {
            case QEvent::Enter:
                entered_();
                break;
            case QEvent::Leave:
                left_();
                break;
            case QEvent::MouseButtonPress:
                if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
                popup_.start(QApplication::doubleClickInterval());
                return true;
            case QEvent::MouseButtonDblClick:
                popup_.stop();
                doubleClicked_();
                return true;
            default:
                break;
        }
        return false;
    }

  private:
    QComboBox* list_;
    std::function<void()> entered_, left_, doubleClicked_;
    QTimer popup_;
};

QColor statusColour(int32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void setLabelColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

void TForm1::fillProbeSelectors() {
    trace_.record("fillProbeSelectors");
    const QSignalBlocker quietFirst(firstSM);
    const QSignalBlocker quietSecond(scndSM);
    const QStringList names = probes_->probeNames();
    firstSM->clear();
    firstSM->addItems(names);
    scndSM->clear();
    scndSM->addItem(QStringLiteral("none"));
    scndSM->addItems(names);
    firstSM->setCurrentIndex(0);
    scndSM->setCurrentIndex(0);
}

void TForm1::updateProbeControls(int position) {
    trace_.record(position == 0 ? "updateProbeControls(0)" : "updateProbeControls(1)");
    QPushButton* calScan = position == 0 ? firstSMdark : secondSMDark;
    QComboBox* range = position == 0 ? firstSMRange : scndSMRange;
    const int row = position == 0 ? firstSM->currentIndex() : scndSM->currentIndex() - 1;
    const ProbeControls controls = probes_->controlsFor(row);
    calScan->setEnabled(controls.calScan);
    range->setEnabled(controls.range);
    const QSignalBlocker quiet(range);
    range->setCurrentIndex(controls.rangeIndex);
}

void TForm1::firstSMChange() {
    updateProbeControls(0);
}

void TForm1::scndSMChange() {
    updateProbeControls(1);
}

// ---- Ranges, calibration scans, calibration file, status line -------------------------------

void TForm1::watchProbeControls() {
    connect(firstSMRange, &QComboBox::activated, this, &TForm1::firstSMRangeChange);
    connect(scndSMRange, &QComboBox::activated, this, &TForm1::scndSMRangeChange);
    connect(firstSMdark, &QPushButton::clicked, this, &TForm1::firstSMdarkClick);
    connect(secondSMDark, &QPushButton::clicked, this, &TForm1::secondSMDarkClick);
    new ProbeListWatcher(
        firstSM, [this] { firstSMMouseEnter(); }, [this] { firstSMMouseLeave(); },
        [this] { firstSMDblClick(); });
    new ProbeListWatcher(
        scndSM, [this] { scndSMMouseEnter(); }, [this] { scndSMMouseLeave(); },
        [this] { scndSMDblClick(); });
}

void TForm1::firstSMRangeChange() {
    probes_->setUserRange(firstSM->currentIndex(), firstSMRange->currentIndex());
}

void TForm1::scndSMRangeChange() {
    probes_->setUserRange(scndSM->currentIndex() - 1, scndSMRange->currentIndex());
}

void TForm1::firstSMdarkClick() {
    const int row = firstSM->currentIndex();
    if (row >= 0) probes_->requestCalScan(row);
}

void TForm1::secondSMDarkClick() {
    const int row = scndSM->currentIndex() - 1;
    if (row >= 0) probes_->requestCalScan(row);
}

void TForm1::firstSMDblClick() {
    probes_->chooseCalFile(firstSM->currentIndex());
}

void TForm1::scndSMDblClick() {
    probes_->chooseCalFile(scndSM->currentIndex() - 1);
}

void TForm1::firstSMMouseEnter() {
    showProbeStatus(firstSM->currentIndex());
}

void TForm1::scndSMMouseEnter() {
    showProbeStatus(scndSM->currentIndex() - 1);
}

void TForm1::showProbeStatus(int row) {
    const std::optional<ProbeStatusLine> status = probes_->statusLine(row);
    if (!status) return;
    commonmsg->setText(status->text);
    setLabelColour(commonmsg, statusColour(status->colour));
}

void TForm1::firstSMMouseLeave() {
    commonmsg->clear();
    setLabelColour(commonmsg, Qt::white);
}

void TForm1::scndSMMouseLeave() {
    firstSMMouseLeave();
}

}  // namespace vqs
