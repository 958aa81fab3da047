#include "report/report_renderer.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace vqs {
namespace {

constexpr double kMmPerInch = 25.4;
// Sizes of the template's texts, pen widths and pictures are pixels of a 96 dpi screen.
constexpr double kTemplateDpi = 96.0;
// Arial; where it is missing the font configuration substitutes its metric twin, Liberation Sans.
const QString kReportFontFamily = QStringLiteral("Arial");

// Converts template units to the device's pixels.
class DeviceScale {
  public:
    explicit DeviceScale(const QPaintDevice& device)
        : dpiX_(device.logicalDpiX()), dpiY_(device.logicalDpiY()) {}
    QRectF rect(const QRectF& mm) const {
        return {mm.x() * perMmX(), mm.y() * perMmY(), mm.width() * perMmX(),
                mm.height() * perMmY()};
    }
    QPointF point(const QPointF& mm) const { return {mm.x() * perMmX(), mm.y() * perMmY()}; }
    double pixels(double templatePixels) const { return templatePixels * dpiX_ / kTemplateDpi; }
    QSizeF pictureSize(const QImage& picture) const {
        return {picture.width() * dpiX_ / kTemplateDpi, picture.height() * dpiY_ / kTemplateDpi};
    }

  private:
    double perMmX() const { return dpiX_ / kMmPerInch; }
    double perMmY() const { return dpiY_ / kMmPerInch; }
    double dpiX_;
    double dpiY_;
};

QFont templateFont(const TemplateElement& e) {
    QFont font(kReportFontFamily);
    font.setStyleHint(QFont::SansSerif);
    // Point sizes follow the device's resolution; a pixel at 96 dpi is three quarters of a point.
    font.setPointSizeF(e.pixelHeight * 72.0 / kTemplateDpi);
    font.setBold(e.bold);
    return font;
}

int alignmentFlags(TextAlign align) {
    switch (align) {
        case TextAlign::centre: return Qt::AlignHCenter;
        case TextAlign::right: return Qt::AlignRight;
        case TextAlign::left: break;
    }
    return Qt::AlignLeft;
}

QPen thinPen(const DeviceScale& scale, QRgb colour, int templatePixels) {
    QPen pen(QColor::fromRgb(colour));
    pen.setWidthF(scale.pixels(templatePixels));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void drawFrame(QPainter& painter, const DeviceScale& scale, const QRectF& box) {
    painter.setPen(thinPen(scale, qRgb(0, 0, 0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(scale.rect(box));
}

// Texts keep a small gap to the edges of their box, so they never touch its frame.
constexpr double kTextGapX = 2.0;
constexpr double kTextGapY = 1.0;

void drawText(QPainter& painter, const DeviceScale& scale, const TemplateElement& e,
              const QString& text) {
    painter.setFont(templateFont(e));
    painter.setPen(QColor(Qt::black));
    const QRectF box = scale.rect(e.box).adjusted(scale.pixels(kTextGapX), scale.pixels(kTextGapY),
                                                  -scale.pixels(kTextGapX), 0);
    painter.drawText(box, alignmentFlags(e.align) | Qt::AlignTop | Qt::TextWordWrap, text);
}

// Unscaled: one pixel of the picture is 1/96 inch on paper, from the field's top-left corner.
void drawPicture(QPainter& painter, const DeviceScale& scale, const TemplateElement& e,
                 const QImage& picture) {
    if (picture.isNull()) return;
    const QRectF target(scale.point(e.box.topLeft()), scale.pictureSize(picture));
    painter.drawImage(target, picture);
}

void drawCircle(QPainter& painter, const DeviceScale& scale, const TemplateElement& e) {
    painter.setPen(thinPen(scale, qRgb(0, 0, 0), 1));
    painter.setBrush(e.filled ? QBrush(QColor::fromRgb(e.fill)) : QBrush(Qt::NoBrush));
    painter.drawEllipse(scale.rect(e.box));
}

void drawElement(QPainter& painter, const DeviceScale& scale, const ReportDocument& document,
                 const TemplateElement& e) {
    switch (e.kind) {
        case ElementKind::text: drawText(painter, scale, e, e.content); break;
        case ElementKind::textField: drawText(painter, scale, e, document.text(e.content)); break;
        case ElementKind::pictureField:
            drawPicture(painter, scale, e, document.picture(e.content));
            break;
        case ElementKind::line:
            painter.setPen(thinPen(scale, e.colour, e.penPixels));
            painter.drawLine(scale.point(e.box.topLeft()), scale.point(e.box.bottomRight()));
            break;
        case ElementKind::circle: drawCircle(painter, scale, e); break;
    }
    if (e.framed) drawFrame(painter, scale, e.box);
}

void drawPage(QPainter& painter, const DeviceScale& scale, const ReportDocument& document,
              const TemplatePage& page) {
    for (const TemplateElement& e : page.elements) drawElement(painter, scale, document, e);
}

}  // namespace

QPageLayout reportPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kMarginLeftMm, kMarginTopMm, kMarginRightMm, kMarginBottomMm),
                       QPageLayout::Millimeter);
}

bool prepareReport(const ReportDocument& document, QString* problem) {
    for (const QString& field : document.layout().pictureFields) {
        if (!document.picture(field).isNull()) continue;
        if (problem) *problem = QStringLiteral("The picture %1 is missing.").arg(field);
        return false;
    }
    return true;
}

bool renderReport(const ReportDocument& document, QPagedPaintDevice& device,
                  const PageProgress& progress) {
    device.setPageLayout(reportPageLayout());
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // The charts are line drawings: a lossy encoding would smear their one-pixel lines.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const DeviceScale scale(device);
    const auto& pages = document.layout().pages;
    for (int i = 0; i < kReportPages; ++i) {
        if (progress) progress(i);
        if (i > 0 && !device.newPage()) return false;
        drawPage(painter, scale, document, pages[i]);
    }
    return painter.end();
}

}  // namespace vqs
