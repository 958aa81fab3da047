#include "charts/chart_window_session.h"

#include "charts/chart_refresh.h"
#include "data/settings_store.h"
#include "data/text_narrowing.h"
#include "platform/atomic_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSize>
#include <QStringList>

namespace vqs {

namespace {

constexpr int kMinPictureSide = 100;
constexpr int kMaxPictureSide = 2048;

// "width,height" as the operator typed it; nothing for anything else.
std::optional<QSize> readPictureSize(const QString& answer) {
    const QStringList parts = answer.split(QLatin1Char(','));
    if (parts.size() != 2) return std::nullopt;
    bool okWidth = false;
    bool okHeight = false;
    const int width = parts[0].trimmed().toInt(&okWidth);
    const int height = parts[1].trimmed().toInt(&okHeight);
    if (!okWidth || !okHeight) return std::nullopt;
    return QSize(width, height);
}

bool isPictureSide(int side) {
    return side >= kMinPictureSide && side <= kMaxPictureSide;
}

// The range goes above the prompt, so the input still follows "Pixel,Zeilen:".
const QString kPictureSizePrompt = QStringLiteral("Width and height, %1 to %2 each\nPixel,Zeilen:")
                                       .arg(kMinPictureSide)
                                       .arg(kMaxPictureSide);

QString refusedSizeText(const QString& answer) {
    return QStringLiteral(
               "The picture size \"%1\" was not taken, and no picture was written: "
               "give width and height as two whole numbers from %2 to %3, such as "
               "800,600.")
        .arg(answer.trimmed())
        .arg(kMinPictureSide)
        .arg(kMaxPictureSide);
}

// Pictures carry the chart, the day and the second; a second picture within the same second
// gets a number, so no picture of the day replaces another.
QString freePicturePath(const QString& folder, const QString& stem) {
    const QDir dir(folder);
    QString path = dir.filePath(narrowFileName(stem + QStringLiteral(".png")));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(narrowFileName(stem + QStringLiteral("_%1.png").arg(n)));
    return path;
}

bool isWindowTableTag(int tag) {
    return tag >= 0 && tag < static_cast<int>(std::tuple_size_v<WindowTable>);
}

}  // namespace

ChartWindowSession::ChartWindowSession(ChartWindowRecords records, ChartWindowServices services,
                                       ChartWindowView view)
    : records_(records), services_(services), view_(std::move(view)) {}

GammaSources ChartWindowSession::gammaSources() const {
    return {records_.workingReport, records_.targets, records_.settings.targetGamma};
}

ChartInputs ChartWindowSession::chartInputs(int selectedSlot) const {
    const ChartPresentation& p = records_.presentation;
    return {records_.probe1, records_.probe2, gammaSources(),
            p.xyMode,        p.spectralView,  selectedSlot};
}

ZoomSelection ChartWindowSession::selection() const {
    const ChartPresentation& p = records_.presentation;
    return {p.xyMode, p.spectralView, p.rgbView};
}

// ---- The charts -----------------------------------------------------------------------------

void ChartWindowSession::createCharts() {
    services_.trace.record("createCharts");
    vqs::createCharts(records_.charts, gammaSources());
    for (int tag : {kCieTag, kSpectralTag, kGreyScaleTag, kEbuColoursTag, kRgbTag}) paintArea(tag);
}

// Views 2..5 of the spectral panel are drawn by the refresh; their paint keeps what is there.
void ChartWindowSession::paintArea(int tag) {
    const ChartPresentation& p = records_.presentation;
    if (tag == kRgbTag) return showRgbPanel(records_.charts, p.xyMode, p.rgbView);
    paintChartArea(records_.charts, tag, p.xyMode, p.spectralView, p.rgbView);
}

void ChartWindowSession::refresh(int selectedSlot) {
    // The zoom window follows every refresh while it is on the screen.
    records_.charts.zoom.shown = zoomVisible();
    redrawZoomIfStale();
    vqs::refreshCharts(records_.charts, chartInputs(selectedSlot),
                       records_.presentation.rgbView);
}

void ChartWindowSession::redrawGammaPanels() {
    redrawGammaPictures(records_.charts, gammaSources());
}

void ChartWindowSession::replotSpectralPanel(int selectedSlot) {
    plotSpectralView(records_.charts, chartInputs(selectedSlot));
}

// ---- Presentation ---------------------------------------------------------------------------

void ChartWindowSession::toggleXyMode() {
    records_.presentation.xyMode = !records_.presentation.xyMode;
}

// The new view's picture with the readings over it; the zoom window follows when it shows the
// spectral panel.
void ChartWindowSession::stepSpectralView(ViewStep step, int selectedSlot) {
    int& view = records_.presentation.spectralView;
    if (step == ViewStep::forward)
        view = view >= 5 ? 0 : view + 1;
    else
        view = view <= 0 ? 5 : view - 1;
    replotSpectralPanel(selectedSlot);
    redrawZoomIfStale();
}

void ChartWindowSession::stepRgbView() {
    int& view = records_.presentation.rgbView;
    view = view >= 2 ? 0 : view + 1;
}

// ---- Chart buttons --------------------------------------------------------------------------

bool ChartWindowSession::showButtonsOn(int tag) {
    if (chartButtonTag_ == tag) return false;
    chartButtonTag_ = tag;
    return true;
}

// ---- Zoom window ----------------------------------------------------------------------------

std::optional<std::array<int32_t, 4>> ChartWindowSession::zoomPlacement(int tag) const {
    if (!isWindowTableTag(tag)) return std::nullopt;
    return records_.settings.zoomGeometry[tag];
}

// Configures the zoom chart for the window's client area and draws the readings over it at
// once, rather than at the next tick. The chart with its margins fills the client area: a plot
// of the client's size would put the right and bottom margins, and the axis labels there,
// outside the window.
QString ChartWindowSession::drawZoomChart(int tag, int clientWidth, int clientHeight,
                                          int selectedSlot) {
    ChartSet& set = records_.charts;
    ZoomChart& zoom = set.zoom;
    const int width = clientWidth - 2 * kZoomMargin;
    const int height = clientHeight - 2 * kZoomMargin;
    zoomDrawnFor_ = selection();
    const QString caption =
        configureZoomChart(zoom, tag, width, height, zoomDrawnFor_, gammaSources());
    zoom.tag = tag;
    zoom.width = width;  // the plot size, which the refresh of the RGB panel configures with
    zoom.height = height;
    zoom.shown = true;
    paintZoomChart(zoom);
    const ChartInputs inputs = chartInputs(selectedSlot);
    const int slot = currentSlot(set, inputs);
    if (slot != kStopSlot)
        vqs::refreshZoomChart(set, inputs, records_.presentation.rgbView, slot);
    return caption;
}

// The zoom chart was drawn for one presentation; after a switch it is drawn again, so that it
// never shows readings of one presentation on the chart of another.
bool ChartWindowSession::zoomStale() const {
    const ChartPresentation& p = records_.presentation;
    return records_.charts.zoom.tag == kSpectralTag ? zoomDrawnFor_.spectralView != p.spectralView
                                                    : zoomDrawnFor_.xyMode != p.xyMode;
}

bool ChartWindowSession::zoomVisible() const {
    return view_.zoomVisible && view_.zoomVisible();
}

void ChartWindowSession::redrawZoomIfStale() {
    if (zoomVisible() && zoomStale() && view_.redrawZoom) view_.redrawZoom();
}

void ChartWindowSession::zoomWindowClosed(int tag, const std::array<int32_t, 4>& placement) {
    records_.charts.zoom.shown = false;
    if (!isWindowTableTag(tag)) return;
    records_.settings.zoomGeometry[tag] = placement;
    if (!saveWindowTables(services_.store, records_.settings))
        services_.prompts.message(PromptKind::Warning,
                                  QStringLiteral("The zoom window's place could not be stored."),
                                  PromptButtons::Ok);
}

// ---- The picture ----------------------------------------------------------------------------

void ChartWindowSession::savePicture(int selectedSlot) {
    const int tag = chartButtonTag_;
    if (!isWindowTableTag(tag)) return;
    auto& entry = records_.settings.pictureSize[tag];
    const QString answer =
        services_.prompts.inputBox(QString::fromUtf8("Aufl\u00f6sung"), kPictureSizePrompt,
                                   QStringLiteral("%1,%2").arg(entry[2]).arg(entry[3]));
    const std::optional<QSize> size = readPictureSize(answer);
    if (!size || !isPictureSide(size->width()) || !isPictureSide(size->height())) {
        services_.prompts.message(PromptKind::Warning, refusedSizeText(answer), PromptButtons::Ok);
        return;
    }
    int width = size->width();
    int height = size->height();
    // The tolerance panels are square.
    if (tag == kGreyScaleTag || tag == kEbuColoursTag) width = height = (width + height) / 2;
    entry[2] = width;
    entry[3] = height;
    saveWindowTables(services_.store, records_.settings);
    if (tag >= kCieTag && tag <= kRgbTag) exportPicture(tag, width, height, selectedSlot);
}

void ChartWindowSession::exportPicture(int tag, int width, int height, int selectedSlot) {
    const Canvas picture = exportChartPicture(records_.charts, tag, width, height,
                                              chartInputs(selectedSlot),
                                              records_.presentation.rgbView);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.image().isNull() || !picture.image().save(&buffer, "PNG")) return;

    const Clock& clock = services_.clock;
    const QString name = chartName(tag, selection(), records_.settings.targetGamma);
    const QString stem = QStringLiteral("VQSCHART_%1_%2_%3")
                             .arg(name, clock.shortDate(clock.today()),
                                  clock.timeOfDay().toString(QStringLiteral("HHmmss")));
    const FileWriteResult written =
        writeFileAtomically(freePicturePath(records_.settings.reportDir, stem), png);
    if (!written.ok) {
        services_.prompts.message(PromptKind::Error, writeFailureText(written), PromptButtons::Ok);
        return;
    }
    lastPicturePath_ = written.path;
    if (view_.tellQuietly)
        view_.tellQuietly(QStringLiteral("The picture was saved as %1")
                              .arg(QDir::toNativeSeparators(written.path)));
}

}  // namespace vqs
