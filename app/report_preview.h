#pragma once
// The report's print preview: Qt's preview window (print, page setup, zoom, page navigation)
// showing the filled template as the layout engine lays it out, with an "Export PDF" action
// that writes the PDF into the report folder under the report's own name.

#include "platform/prompter.h"
#include "report/report_document.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QLabel;

namespace vqs {

class ReportPreview final : public QPrintPreviewDialog {
    Q_OBJECT
public:
    ReportPreview(ReportDocument document, const QString& exportFolder, Prompter& prompts,
                  QWidget* parent = nullptr);

    QAction* exportAction() const { return exportAction_; }

    // Asks where the PDF goes, starting from the suggested path; a file already there is
    // replaced without a question. Replaceable, so tests need no file dialog.
    std::function<std::optional<QString>(const QString& suggestedPath)> choosePath;

    // Writes the PDF where choosePath says, with progress; a failure is told to the operator,
    // a success is confirmed quietly on the tool bar and by exported().
    void exportPdf();

    // What the tool bar says of the last export; empty before one.
    QString exportNote() const;

  signals:
    void exported(const QString& path);

  private:
    std::optional<QString> askForPath(const QString& suggestedPath);

    ReportDocument document_;
    QString exportFolder_;
    Prompter& prompts_;
    QAction* exportAction_ = nullptr;
    QLabel* exportNote_ = nullptr;
};

}  // namespace vqs
