#include "charts/text_stamp.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace vqs {

TextStamp renderTextStamp(const QFont& font, const QString& text) {
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    probe.setDotsPerMeterX(kCanvasDotsPerMeter);
    probe.setDotsPerMeterY(kCanvasDotsPerMeter);
    const QFontMetrics metrics(font, &probe);
    TextStamp stamp;
    stamp.advance = metrics.horizontalAdvance(text);
    stamp.height = metrics.height();
    if (text.isEmpty()) return stamp;

    // Room on every side for glyphs that overhang their box.
    const int pad = stamp.height;
    QImage image(stamp.advance + 2 * pad, stamp.height + 2 * pad,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(kCanvasDotsPerMeter);
    image.setDotsPerMeterY(kCanvasDotsPerMeter);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(pad, pad + metrics.ascent(), text);
    }
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0) stamp.ink.emplace_back(x - pad, y - pad);
    }
    return stamp;
}

const TextStamp& TextStampCache::stamp(const QFont& font, int size, const QString& text) {
    const std::pair<int, QString> key(size, text);
    auto found = stamps_.constFind(key);
    if (found != stamps_.constEnd()) return **found;
    if (stamps_.size() >= kLimit) stamps_.clear();
    auto made = std::make_shared<const TextStamp>(renderTextStamp(font, text));
    return **stamps_.insert(key, std::move(made));
}

}  // namespace vqs
