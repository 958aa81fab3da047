// Report texts from disk or from a monitor are untrusted: whatever their bytes, reading them
// must neither crash nor read outside the text.

#include "data/report_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const vqs::PatchCatalogue targets = vqs::makePatchCatalogue();
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    vqs::startsAsReportFile(text);
    vqs::Tcaldaten report;
    vqs::parseReport(text, text.size(), report, targets);
    // A link buffer may hold older text behind its current length.
    vqs::parseReport(text, text.size() / 2, report, targets);

    // A key taken from the input itself, so the search meets its own bytes.
    const qsizetype cut = text.indexOf('=');
    const QByteArray key = cut > 0 ? text.left(cut).trimmed() : text.left(8);
    if (const auto start = vqs::findReportKey(text, text.size(), key))
        vqs::reportTextValue(text, *start);
    return 0;
}
