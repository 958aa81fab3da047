#include "report/report_document.h"

namespace vqs {

ReportDocument::ReportDocument(const ReportTemplate& layout) : layout_(&layout) {}

bool ReportDocument::setText(const QString& field, const QString& text) {
    if (!layout_->textFields.contains(field)) return false;
    texts_.insert(field, text);
    return true;
}

bool ReportDocument::setPicture(const QString& field, const QImage& picture) {
    if (!layout_->pictureFields.contains(field)) return false;
    pictures_.insert(field, picture);
    return true;
}

}  // namespace vqs
