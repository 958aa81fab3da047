#pragma once
// Sets what a PDF's document information must say and stores every stream uncompressed, by
// rewriting the file with a PDF library: Qt's writer can set neither.

#include <QByteArray>
#include <QString>

#include <optional>

namespace vqs {

struct PdfInformation {
    QString title;
    QString author;
    QString subject;
    QString creator;
};

// The rewritten PDF, or nothing with `error` set when the input is not a PDF the library reads.
std::optional<QByteArray> finishPdf(const QByteArray& pdf, const PdfInformation& information,
                                    QString* error = nullptr);

}  // namespace vqs
