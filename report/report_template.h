#pragma once
// The six-page A4 report as data: every static text, rule, frame and legend symbol of every
// page, and the named text and picture fields the filling puts its results into. The layout
// engine (report_renderer.h) draws these elements on any paged device; nothing here paints.
//
// Positions and sizes are in millimetres from the top-left corner of the usable area (the
// page less its margins). Text heights are character heights in pixels at 96 dpi; pen widths
// of legend lines are pixels at 96 dpi too.

#include <QRectF>
#include <QString>
#include <QStringList>
#include <QtGui/qrgb.h>

#include <array>
#include <vector>

namespace vqs {

inline constexpr double kPageWidthMm = 210.0;
inline constexpr double kPageHeightMm = 297.0;
inline constexpr double kMarginLeftMm = 25.0;
inline constexpr double kMarginRightMm = 25.0;
inline constexpr double kMarginTopMm = 10.0;
inline constexpr double kMarginBottomMm = 10.0;
inline constexpr int kReportPages = 6;
// Texts without a height of their own: 10 points.
inline constexpr double kDefaultTextPixels = 40.0 / 3.0;

enum class ElementKind {
    text,           // a constant text; lines are separated by '\n'
    textField,      // a named field that receives a text, possibly of several lines
    pictureField,   // a named field that receives a raster picture, placed unscaled
    line,           // a straight line from the top-left to the bottom-right corner of `box`
    circle,         // an ellipse in `box`, outlined in black, filled with `fill` unless clear
};

enum class TextAlign { left, centre, right };

struct TemplateElement {
    ElementKind kind = ElementKind::text;
    QRectF box;          // x, y, width, height in mm
    QString content;     // the text of a constant, or the name of a field
    double pixelHeight = kDefaultTextPixels;
    bool bold = false;
    TextAlign align = TextAlign::left;
    bool framed = false;  // a thin frame around `box`
    QRgb colour = qRgb(0, 0, 0);  // ink of lines
    int penPixels = 1;            // width of lines
    bool filled = false;          // circles: filled with `fill`
    QRgb fill = qRgb(255, 255, 255);
};

struct TemplatePage {
    std::vector<TemplateElement> elements;
};

struct ReportTemplate {
    std::array<TemplatePage, kReportPages> pages;  // in print order
    QStringList textFields;
    QStringList pictureFields;
};

// The template, built once.
const ReportTemplate& reportTemplate();

// Legend colours of the EBU test colours 1..15.
extern const std::array<QRgb, 15> kEbuLegendColours;

}  // namespace vqs
