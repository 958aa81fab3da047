// Texts stamped from their cached pixels look exactly as a painter draws them.

#include "chart_fixtures.h"
#include "charts/canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

namespace vqs {
namespace {

// The text as a painter without antialiasing writes it onto a black 96-dpi picture.
QImage painted(int size, QRgb ink, bool solidBrush, QRgb brush, const QString& text) {
    QImage image(120, 40, QImage::Format_RGB32);
    image.setDotsPerMeterX(kCanvasDotsPerMeter);
    image.setDotsPerMeterY(kCanvasDotsPerMeter);
    image.fill(qRgb(0, 0, 0));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(size);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetrics metrics(font, &image);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    if (solidBrush)
        painter.fillRect(QRect(7, 9, metrics.horizontalAdvance(text), metrics.height()),
                         QColor(brush));
    painter.setFont(font);
    painter.setPen(QColor(ink));
    painter.drawText(7, 9 + metrics.ascent(), text);
    return image;
}

TEST(TextStamp, StampedTextEqualsPaintedText) {
    const QString texts[] = {QStringLiteral("0.30"),        QStringLiteral("Y%"),
                             QStringLiteral("Gamut: Blue"), QStringLiteral("  123 OK"),
                             QStringLiteral("-0.006"),      QStringLiteral("jgWq|")};
    for (int size : {6, 8})
        for (bool solid : {false, true})
            for (const QString& text : texts) {
                Canvas canvas(120, 40);
                canvas.setBrushColour(qRgb(0, 0, 0));
                canvas.rectangle(0, 0, 120, 40);
                canvas.setPenColour(qRgb(0, 0, 0));
                canvas.setFontSize(size);
                canvas.setFontColour(qRgb(255, 255, 255));
                canvas.setBrushColour(qRgb(0, 0, 128));
                if (!solid) canvas.setBrushStyle(BrushStyle::clear);
                // Twice, so the second comes from the cache.
                canvas.textOut(7, 9, text);
                canvas.textOut(7, 9, text);
                EXPECT_EQ(canvas.image(),
                          painted(size, qRgb(255, 255, 255), solid, qRgb(0, 0, 128), text))
                    << text.toStdString() << " size " << size << " solid " << solid;
            }
}

TEST(TextStamp, WidthsFollowTheFontSize) {
    Canvas canvas(10, 10);
    canvas.setFontSize(6);
    const int small = canvas.textWidth(QStringLiteral("0.300"));
    canvas.setFontSize(8);
    EXPECT_GT(canvas.textWidth(QStringLiteral("0.300")), small);
    EXPECT_EQ(canvas.textWidth(QString()), 0);
}

}  // namespace
}  // namespace vqs
