#pragma once
// The report as a PDF file: laid out by the report renderer on a PDF writer, then finished with
// the document information Qt's writer cannot set (author, subject) and with every stream left
// uncompressed, and written so that a failure never leaves half a file or costs the old one.

#include "report/report_document.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace vqs {

inline const QString kPdfAuthor = QStringLiteral("VQS1.0");
inline const QString kPdfCreator = QStringLiteral("VQS1.0");
inline const QString kPdfSubject = QStringLiteral("Lumiquest Report");

// Steps of an export: one per page, then finishing and writing the file.
inline constexpr int kPdfExportSteps = kReportPages + 1;
// Called before each step with its index 0..kPdfExportSteps - 1.
using ExportProgress = std::function<void(int step)>;

struct PdfExportResult {
    bool ok = false;
    QString error;    // why it failed, in words the operator can act on
    qint64 bytes = 0;  // size of the written file
};

// The finished PDF in memory; empty with `error` set when it cannot be made.
QByteArray renderReportPdf(const ReportDocument& document, QString* error = nullptr,
                           const ExportProgress& progress = {});

// Writes the finished PDF to `path`, replacing a file there without asking.
PdfExportResult exportReportPdf(const ReportDocument& document, const QString& path,
                                const ExportProgress& progress = {});

}  // namespace vqs
