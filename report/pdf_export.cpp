#include "report/pdf_export.h"

#include "platform/atomic_file.h"
#include "report/pdf_finishing.h"
#include "report/report_renderer.h"

#include <QBuffer>
#include <QPdfWriter>

namespace vqs {
namespace {

// Fine enough for crisp text and lines; the pictures keep their own pixels whatever it is.
constexpr int kPdfResolution = 1200;

QByteArray layOutPdf(const ReportDocument& document, const ExportProgress& progress,
                     QString* error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setTitle(document.title);
        writer.setCreator(kPdfCreator);
        if (!renderReport(document, writer, progress)) {
            if (error) *error = QStringLiteral("The report could not be laid out.");
            return {};
        }
    }  // the writer completes the file when it goes
    return buffer.data();
}

}  // namespace

QByteArray renderReportPdf(const ReportDocument& document, QString* error,
                           const ExportProgress& progress) {
    QString problem;
    if (!prepareReport(document, &problem)) {
        if (error) *error = problem;
        return {};
    }
    const QByteArray laidOut = layOutPdf(document, progress, error);
    if (laidOut.isEmpty()) return {};
    if (progress) progress(kReportPages);
    const PdfInformation information{document.title, kPdfAuthor, kPdfSubject, kPdfCreator};
    QString finishError;
    const std::optional<QByteArray> finished = finishPdf(laidOut, information, &finishError);
    if (!finished) {
        if (error) *error = QStringLiteral("The PDF could not be finished: ") + finishError;
        return {};
    }
    return *finished;
}

PdfExportResult exportReportPdf(const ReportDocument& document, const QString& path,
                                const ExportProgress& progress) {
    PdfExportResult result;
    const QByteArray pdf = renderReportPdf(document, &result.error, progress);
    if (pdf.isEmpty()) return result;
    const FileWriteResult written = writeFileAtomically(path, pdf);
    result.ok = written.ok;
    result.error = written.error;
    result.bytes = written.ok ? pdf.size() : 0;
    return result;
}

}  // namespace vqs
