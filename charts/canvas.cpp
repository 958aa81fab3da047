#include "charts/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace vqs {

namespace {

QImage whiteImage(int width, int height) {
    QImage image(width > 0 ? width : 0, height > 0 ? height : 0, QImage::Format_RGB32);
    image.setDotsPerMeterX(kCanvasDotsPerMeter);
    image.setDotsPerMeterY(kCanvasDotsPerMeter);
    image.fill(qRgb(255, 255, 255));
    return image;
}

}  // namespace

Canvas::Canvas(int width, int height) : image_(whiteImage(width, height)) {}

void Canvas::setSize(int width, int height) {
    pixels_.drop();
    image_ = whiteImage(width, height);
}

void Canvas::takePixels() {
    const QRect picture(0, 0, image_.width(), image_.height());
    const QRect writable = clip_.isNull() ? picture : picture.intersected(clip_);
    pixels_.left = writable.left();
    pixels_.top = writable.top();
    pixels_.right = writable.isEmpty() ? writable.left() : writable.right() + 1;
    pixels_.bottom = writable.isEmpty() ? writable.top() : writable.bottom() + 1;
    pixels_.stride = image_.bytesPerLine();
    pixels_.bits = image_.isNull() ? nullptr : image_.bits();
}

void Canvas::setBrushColour(QRgb colour) {
    brushColour_ = colour;
    brushStyle_ = BrushStyle::solid;
}

void Canvas::plot(int x, int y, QRgb colour) {
    if (pixels_.bits == nullptr) takePixels();
    if (x < pixels_.left || y < pixels_.top || x >= pixels_.right || y >= pixels_.bottom) return;
    reinterpret_cast<QRgb*>(pixels_.bits + y * pixels_.stride)[x] = 0xff000000u | colour;
}

// The brush over [left, right) x [top, bottom), clipped to the writable area, a row at a time.
void Canvas::fillRows(int left, int top, int right, int bottom) {
    if (pixels_.bits == nullptr) takePixels();
    left = std::max(left, pixels_.left);
    top = std::max(top, pixels_.top);
    right = std::min(right, pixels_.right);
    bottom = std::min(bottom, pixels_.bottom);
    if (right <= left) return;
    const QRgb colour = 0xff000000u | brushColour_;
    for (int y = top; y < bottom; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(pixels_.bits + y * pixels_.stride) + left, right - left,
                    colour);
}

void Canvas::setClip(const QRect& area) {
    clip_ = area;
    pixels_.drop();  // the writable area is taken again with the pixels
}

void Canvas::setPixel(int x, int y, QRgb colour) {
    plot(x, y, colour);
}

QRgb Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return 0;
    return reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
}

// A wide pen covers a square of its width, centred on the line where the width is odd.
void Canvas::penDot(int x, int y) {
    if (penWidth_ == 1) {
        plot(x, y, penColour_);
        return;
    }
    const int first = -(penWidth_ / 2);
    for (int dy = first; dy < first + penWidth_; ++dy)
        for (int dx = first; dx < first + penWidth_; ++dx) plot(x + dx, y + dy, penColour_);
}

void Canvas::moveTo(int x, int y) {
    position_ = QPoint(x, y);
}

// Bresenham from the current position, stopping one step short of the end point, so that
// consecutive lines of a polyline meet without drawing their common pixel twice.
void Canvas::lineTo(int x, int y) {
    int x0 = position_.x();
    int y0 = position_.y();
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int stepX = x0 < x ? 1 : -1;
    const int stepY = y0 < y ? 1 : -1;
    int error = dx + dy;
    while (x0 != x || y0 != y) {
        penDot(x0, y0);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
    position_ = QPoint(x, y);
}

void Canvas::line(int x0, int y0, int x1, int y1) {
    moveTo(x0, y0);
    lineTo(x1, y1);
}

void Canvas::polyline(std::span<const QPoint> points) {
    if (points.empty()) return;
    moveTo(points[0].x(), points[0].y());
    for (std::size_t i = 1; i < points.size(); ++i) lineTo(points[i].x(), points[i].y());
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    if (brushStyle_ == BrushStyle::solid) fillRows(left + 1, top + 1, right - 1, bottom - 1);
    for (int x = left; x < right; ++x) {
        plot(x, top, penColour_);
        plot(x, bottom - 1, penColour_);
    }
    for (int y = top; y < bottom; ++y) {
        plot(left, y, penColour_);
        plot(right - 1, y, penColour_);
    }
}

// The ellipse inscribed in the box: the pixels whose centres lie within the ellipse through
// the outermost pixel centres, grown by half a pixel. Its outline is every such pixel with a
// horizontal or vertical neighbour outside, which touches all four edges of the box.
void Canvas::ellipse(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    const double cx = (left + right - 1) * 0.5;
    const double cy = (top + bottom - 1) * 0.5;
    const double ax = (right - left) * 0.5;
    const double ay = (bottom - top) * 0.5;
    auto inside = [&](int x, int y) {
        if (x < left || x >= right || y < top || y >= bottom) return false;
        const double u = (x - cx) / ax;
        const double v = (y - cy) / ay;
        return u * u + v * v <= 1.0;
    };
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (!inside(x, y)) continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge)
                plot(x, y, penColour_);
            else if (brushStyle_ == BrushStyle::solid)
                plot(x, y, brushColour_);
        }
    }
}

const QFont& Canvas::font() const {
    const int size = fontSize_ > 0 ? fontSize_ : 1;
    if (fontBuiltForSize_ != size) {
        font_ = QFont(QStringLiteral("Liberation Sans"));
        font_.setPointSize(size);
        font_.setStyleStrategy(QFont::NoAntialias);
        font_.setHintingPreference(QFont::PreferFullHinting);
        fontBuiltForSize_ = size;
    }
    return font_;
}

int Canvas::textWidth(const QString& text) const {
    return stamp(text).advance;
}

int Canvas::textHeight(const QString&) const {
    return stamp(QStringLiteral(" ")).height;
}

const TextStamp& Canvas::stamp(const QString& text) const {
    const QFont& f = font();
    return stamps_.stamp(f, f.pointSize(), text);
}

// The text's box in the brush colour while the brush is solid, then its glyphs in the font
// colour, as a painter draws a text without antialiasing.
void Canvas::textOut(int x, int y, const QString& text) {
    if (image_.isNull() || text.isEmpty()) return;
    const TextStamp& s = stamp(text);
    if (brushStyle_ == BrushStyle::solid) fillRows(x, y, x + s.advance, y + s.height);
    for (const QPoint& p : s.ink) plot(x + p.x(), y + p.y(), fontColour_);
}

void Canvas::copyRect(const QRect& destRect, const Canvas& source, const QRect& sourceRect) {
    if (image_.isNull() || source.image_.isNull()) return;
    if (&source == this && destRect == sourceRect) return;  // nothing would change
    // A copy within one picture reads from a snapshot so the areas may overlap.
    const QImage from = &source == this ? image_.copy(sourceRect) : source.image_;
    const QRect fromRect = &source == this ? QRect(QPoint(0, 0), sourceRect.size()) : sourceRect;
    pixels_.drop();
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!clip_.isNull()) painter.setClipRect(clip_);
    painter.drawImage(destRect, from, fromRect);
}

}  // namespace vqs
