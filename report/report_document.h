#pragma once
// The template with its fields filled: what the layout engine lays out and the PDF records.
// Fields are found by name; a name the template does not have is refused, so a misspelt field
// shows up as an error instead of as an empty place on the page.

#include "report/report_template.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace vqs {

class ReportDocument {
  public:
    explicit ReportDocument(const ReportTemplate& layout = reportTemplate());

    const ReportTemplate& layout() const { return *layout_; }

    // A text, possibly of several lines separated by '\n'. False for a name the template lacks.
    bool setText(const QString& field, const QString& text);
    // A raster picture, placed unscaled at one pixel per 1/96 inch.
    bool setPicture(const QString& field, const QImage& picture);

    // The text of a field; empty when it was never set.
    QString text(const QString& field) const { return texts_.value(field); }
    // The picture of a field; a null image when it was never set.
    QImage picture(const QString& field) const { return pictures_.value(field); }

    // The document's name: the file name of its export and the title of the PDF.
    QString title;

  private:
    const ReportTemplate* layout_;
    QHash<QString, QString> texts_;
    QHash<QString, QImage> pictures_;
};

}  // namespace vqs
