#pragma once
// The raster surface every chart draws on. Charts are defined pixel by pixel against these
// rules, so they are implemented here once rather than left to the paint engine:
// - no antialiasing, colours are exact RGB;
// - a line includes its start pixel and excludes its end pixel (a polyline likewise);
// - rectangles and ellipses are given by a bounding box whose right and bottom edges are
//   excluded; they are outlined with the pen and filled with the brush unless it is clear;
// - text has its top-left corner at the given point; while the brush is solid the text's
//   background is filled with the brush colour;
// - pixels outside the picture, or outside the clip rectangle while one is set, are silently
//   skipped.

#include "charts/text_stamp.h"

#include <QtGui/qrgb.h>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <span>

namespace vqs {

enum class BrushStyle { solid, clear };

class Canvas {
  public:
    Canvas() = default;
    // A white picture of the given size.
    Canvas(int width, int height);

    // Resizes the picture; its content becomes white (the owner supplies white pictures).
    void setSize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    // Whoever holds the picture may share it; the next drawing then writes to a copy of its own.
    const QImage& image() const {
        pixels_.drop();
        return image_;
    }

    // Pen, brush and font state; each drawing operation uses what is set when it runs.
    void setPenColour(QRgb colour) { penColour_ = colour; }
    QRgb penColour() const { return penColour_; }
    void setPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }
    int penWidth() const { return penWidth_; }
    // Setting a brush colour also makes the brush solid, as the platform brush always did.
    void setBrushColour(QRgb colour);
    QRgb brushColour() const { return brushColour_; }
    void setBrushStyle(BrushStyle style) { brushStyle_ = style; }
    BrushStyle brushStyle() const { return brushStyle_; }
    void setFontColour(QRgb colour) { fontColour_ = colour; }
    QRgb fontColour() const { return fontColour_; }
    void setFontSize(int points) { fontSize_ = points; }
    int fontSize() const { return fontSize_; }

    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void line(int x0, int y0, int x1, int y1);
    void polyline(std::span<const QPoint> points);
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);

    // Drawing outside `area` is skipped until another clip is set; a null rectangle lifts it.
    // Copies are clipped too.
    void setClip(const QRect& area);
    const QRect& clip() const { return clip_; }

    void setPixel(int x, int y, QRgb colour);
    // The colour at (x, y) as qRgb gives it; 0 outside the picture.
    QRgb pixel(int x, int y) const;

    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;

    // Copies sourceRect of source into destRect of this picture (scaled if the sizes differ).
    void copyRect(const QRect& destRect, const Canvas& source, const QRect& sourceRect);

  private:
    // The picture's pixel buffer, taken once instead of per pixel, which is what most drawing
    // costs otherwise. Copying a canvas drops the cache on both sides, so neither writes into a
    // buffer the two still share.
    struct PixelCache {
        PixelCache() = default;
        PixelCache(const PixelCache& other) { other.drop(); }
        PixelCache& operator=(const PixelCache& other) {
            drop();
            other.drop();
            return *this;
        }
        void drop() const { bits = nullptr; }
        mutable uchar* bits = nullptr;
        mutable qsizetype stride = 0;
        // Where drawing may write: the picture, cut to the clip rectangle if there is one.
        mutable int left = 0;
        mutable int top = 0;
        mutable int right = 0;
        mutable int bottom = 0;
    };
    void takePixels();

    void plot(int x, int y, QRgb colour);
    void fillRows(int left, int top, int right, int bottom);
    void penDot(int x, int y);
    const QFont& font() const;
    const TextStamp& stamp(const QString& text) const;

    QImage image_;
    PixelCache pixels_;
    QRect clip_;
    QRgb penColour_ = qRgb(0, 0, 0);
    int penWidth_ = 1;
    QRgb brushColour_ = qRgb(255, 255, 255);
    BrushStyle brushStyle_ = BrushStyle::solid;
    QRgb fontColour_ = qRgb(0, 0, 0);
    int fontSize_ = 8;
    QPoint position_;
    // The font of the last size used; building a font per text is what text output costs most.
    mutable QFont font_;
    mutable int fontBuiltForSize_ = 0;
    mutable TextStampCache stamps_;
};

// Clips a canvas while the scope lasts and gives it back the clip it had before.
class ScopedClip {
  public:
    ScopedClip(Canvas& canvas, const QRect& area) : canvas_(canvas), previous_(canvas.clip()) {
        canvas_.setClip(area);
    }
    ~ScopedClip() { canvas_.setClip(previous_); }
    ScopedClip(const ScopedClip&) = delete;
    ScopedClip& operator=(const ScopedClip&) = delete;

  private:
    Canvas& canvas_;
    QRect previous_;
};

}  // namespace vqs
