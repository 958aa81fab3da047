#include "app/report_preview.h"

#include "report/pdf_export.h"
#include "report/report_renderer.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPrinter>
#include <QProgressDialog>
#include <QToolBar>

namespace vqs {

ReportPreview::ReportPreview(ReportDocument document, const QString& exportFolder,
                             Prompter& prompts, QWidget* parent)
    : QPrintPreviewDialog(parent),
      document_(std::move(document)),
      exportFolder_(exportFolder),
      prompts_(prompts) {
    setWindowTitle(document_.title);
    printer()->setDocName(document_.title);
    printer()->setPageLayout(reportPageLayout());
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { renderReport(document_, *printer); });
    exportAction_ = new QAction(tr("Export PDF"), this);
    exportAction_->setObjectName(QStringLiteral("exportPdf"));
    connect(exportAction_, &QAction::triggered, this, &ReportPreview::exportPdf);
    exportNote_ = new QLabel(this);
    exportNote_->setObjectName(QStringLiteral("exportNote"));
    if (auto* toolBar = findChild<QToolBar*>()) {
        toolBar->addSeparator();
        toolBar->addAction(exportAction_);
        toolBar->addWidget(exportNote_);
    } else {
        addAction(exportAction_);
        exportNote_->hide();
    }
    choosePath = [this](const QString& suggested) { return askForPath(suggested); };
}

std::optional<QString> ReportPreview::askForPath(const QString& suggestedPath) {
    const QString path = QFileDialog::getSaveFileName(this, tr("Export PDF"), suggestedPath,
                                                      tr("PDF file (*.pdf)"), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void ReportPreview::exportPdf() {
    const QString suggested = QDir(exportFolder_).filePath(document_.title);
    const std::optional<QString> path = choosePath(suggested);
    if (!path) return;
    QProgressDialog progress(tr("Writing %1").arg(QDir::toNativeSeparators(*path)), QString(), 0,
                             kPdfExportSteps, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    const PdfExportResult result =
        exportReportPdf(document_, *path, [&progress](int step) { progress.setValue(step); });
    progress.setValue(kPdfExportSteps);
    if (!result.ok) {
        exportNote_->clear();
        prompts_.message(PromptKind::Error,
                         QStringLiteral("The report could not be written to %1.\n%2")
                             .arg(QDir::toNativeSeparators(*path), result.error),
                         PromptButtons::Ok);
        return;
    }
    exportNote_->setText(
        QStringLiteral("  The report was exported as %1").arg(QDir::toNativeSeparators(*path)));
    emit exported(*path);
}

QString ReportPreview::exportNote() const {
    return exportNote_->text().trimmed();
}

}  // namespace vqs
