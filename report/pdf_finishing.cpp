#include "report/pdf_finishing.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>

namespace vqs {
namespace {

QPDFObjectHandle documentInformation(QPDF& pdf) {
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (info.isDictionary()) return info;
    info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    trailer.replaceKey("/Info", info);
    return info;
}

void setEntry(QPDFObjectHandle& info, const char* key, const QString& value) {
    info.replaceKey(key, QPDFObjectHandle::newUnicodeString(value.toStdString()));
}

QByteArray writeUncompressed(QPDF& pdf) {
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    // Undo the writer's Flate compression too, not only refrain from adding any.
    writer.setDecodeLevel(qpdf_dl_generalized);
    writer.setCompressStreams(false);
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      static_cast<qsizetype>(buffer->getSize()));
}

}  // namespace

std::optional<QByteArray> finishPdf(const QByteArray& bytes, const PdfInformation& information,
                                    QString* error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("report.pdf", bytes.constData(), static_cast<size_t>(bytes.size()));
        QPDFObjectHandle info = documentInformation(pdf);
        setEntry(info, "/Title", information.title);
        setEntry(info, "/Author", information.author);
        setEntry(info, "/Subject", information.subject);
        setEntry(info, "/Creator", information.creator);
        return writeUncompressed(pdf);
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return std::nullopt;
    }
}

}  // namespace vqs
