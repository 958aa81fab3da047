// The picture size of a chart, asked for with the save button's right mouse button, and the
// picture of the chart at that size written into the report folder.

#include "app/tform1.h"
#include "charts/zoom_chart.h"
#include "data/settings_store.h"
#include "data/text_narrowing.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

#include <optional>

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

}  // namespace

void TForm1::spdBtnSaveMouseDown() {
    const int tag = chartButtonTag_;
    if (tag < 0 || tag >= static_cast<int>(state_.settings.pictureSize.size())) return;
    auto& entry = state_.settings.pictureSize[tag];
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
    saveWindowTables(services_.settings, state_.settings);
    if (tag >= kCieTag && tag <= kRgbTag) exportChartPicture(tag, width, height);
}

void TForm1::exportChartPicture(int tag, int width, int height) {
    const GammaSources sources{state_.workingReport, state_.targets, state_.settings.targetGamma};
    const ChartInputs inputs{state_.probe1, state_.probe2,       sources,
                             state_.xyMode, state_.spectralView, selectedSlot()};
    const Canvas picture =
        vqs::exportChartPicture(state_.charts, tag, width, height, inputs, state_.rgbView);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.image().isNull() || !picture.image().save(&buffer, "PNG")) return;

    const Clock& clock = services_.clock;
    const QString name = chartName(tag, {state_.xyMode, state_.spectralView, state_.rgbView},
                                   state_.settings.targetGamma);
    const QString stem = QStringLiteral("VQSCHART_%1_%2_%3")
                             .arg(name, clock.shortDate(clock.today()),
                                  clock.timeOfDay().toString(QStringLiteral("HHmmss")));
    const FileWriteResult written =
        writeFileAtomically(freePicturePath(state_.settings.reportDir, stem), png);
    if (!written.ok) return tellWriteFailure(written);
    lastPicturePath_ = written.path;
    tellQuietly(
        QStringLiteral("The picture was saved as %1").arg(QDir::toNativeSeparators(written.path)));
}

}  // namespace vqs
