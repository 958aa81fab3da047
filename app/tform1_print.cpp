// "Print": the report of the working report, filled anew at every press and shown in the
// preview, from which the operator prints it or exports the PDF.

#include "app/report_preview.h"
#include "app/tform1.h"
#include "report/report_filling.h"
#include "report/report_renderer.h"

#include <QDir>
#include <QLineEdit>

namespace vqs {

void TForm1::printReport() {
    const ReportInputs inputs{state_.workingReport,   state_.targets,
                              state_.probe1,          editDevsnid->text(),
                              editDevname->text(),    state_.settings.targetGamma,
                              state_.xyMode};
    const ReportDocument document = fillReport(inputs);
    // A document that cannot be laid out shows no preview.
    if (!prepareReport(document)) return;
    if (reportPresenter_) {
        reportPresenter_(document, state_.settings.reportDir);
        return;
    }
    ReportPreview preview(document, state_.settings.reportDir, services_.prompts, this);
    connect(&preview, &ReportPreview::exported, this, [this](const QString& path) {
        tellQuietly(
            QStringLiteral("The report was exported as %1").arg(QDir::toNativeSeparators(path)));
    });
    preview.exec();
}

}  // namespace vqs
