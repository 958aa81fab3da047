#pragma once
// The layout engine: lays the filled template out with QPainter on any paged device (a PDF
// writer, a printer, the print preview). One renderer serves them all, so what the preview
// shows is what is printed and exported.

#include "report/report_document.h"

#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace vqs {

// A4 portrait with the report's margins.
QPageLayout reportPageLayout();

// Preparation: whether the document can be laid out, every picture field holding a picture.
// On failure `problem` (when given) names what is missing.
bool prepareReport(const ReportDocument& document, QString* problem = nullptr);

// Called before each page is laid out, with the page's index 0..5.
using PageProgress = std::function<void(int page)>;

// Sets the report's page layout on the device and paints the six pages. False when the device
// cannot be painted on (a printer without output, say).
bool renderReport(const ReportDocument& document, QPagedPaintDevice& device,
                  const PageProgress& progress = {});

}  // namespace vqs
