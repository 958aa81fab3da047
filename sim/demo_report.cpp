#include "sim/demo_report.h"

#include "app/report_preview.h"
#include "report/pdf_export.h"
#include "sim/answering_prompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>

namespace vqs::sim {
namespace {

constexpr int kPageDpi = 100;

// pdftoppm writes report-page-1.png .. report-page-6.png.
void renderPages(const QString& pdf, const QDir& output,
                 const std::function<void(const QString&)>& print) {
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(kPageDpi), QStringLiteral("-png"), pdf,
                    output.filePath(QStringLiteral("report-page"))});
    if (pdftoppm.waitForFinished(120000) && pdftoppm.exitCode() == 0)
        print(QStringLiteral("wrote the report's pages as %1-N.png")
                  .arg(output.filePath(QStringLiteral("report-page"))));
    else
        print(QStringLiteral("could not render the report's pages (pdftoppm)"));
}

void screenshotPreview(const ReportDocument& document, TForm1& form, const QDir& output,
                       const std::function<void(const QString&)>& print) {
    AnsweringPrompter prompts;
    ReportPreview preview(document, output.path(), prompts, &form);
    preview.resize(1100, 1000);
    preview.open();
    QApplication::processEvents();
    const QString path = output.filePath(QStringLiteral("report-preview.png"));
    print(preview.grab().save(path) ? QStringLiteral("wrote ") + path
                                    : QStringLiteral("could not write ") + path);
    preview.close();
}

}  // namespace

void printDemoReport(TForm1& form, const QDir& output,
                     const std::function<void(const QString&)>& print) {
    form.setReportPresenter([&](const ReportDocument& document, const QString&) {
        const QString path = output.filePath(document.title);
        QElapsedTimer took;
        took.start();
        const PdfExportResult result = exportReportPdf(document, path);
        if (!result.ok) return print(QStringLiteral("report not written: ") + result.error);
        print(QStringLiteral("report %1: %2 bytes in %3 ms")
                  .arg(path)
                  .arg(result.bytes)
                  .arg(took.elapsed()));
        renderPages(path, output, print);
        screenshotPreview(document, form, output, print);
    });
    form.btnPrint->click();
    form.setReportPresenter({});
}

}  // namespace vqs::sim
