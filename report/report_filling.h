#pragma once
// Fills the report template from the working report: identity, page captions, the print-style
// charts, the grey-scale grades and the deviation table of the EBU test colours. The document
// is built anew at every print; nothing of it is kept between prints.

#include "colour/probe_reading.h"
#include "data/monitor_records.h"
#include "report/report_document.h"
#include "tables/patch_catalogue.h"

#include <QString>

namespace vqs {

struct ReportInputs {
    const Tcaldaten& report;
    const PatchCatalogue& targets;
    const Tprobevals& firstReading;  // the live reading of the first probe position
    QString serial;                  // as typed in the window's serial number field
    QString name;                    // as typed in its monitor name field
    QString targetGamma;             // the target-gamma setting the curves are judged against
    bool xyMode = false;             // charts in x, y instead of u', v'
};

// "VQSREPORT_<serial>_<name>_<date>.pdf" with every character other than a-z, A-Z, 0-9, '_',
// '-' and '.' removed, so the name is safe in any folder and on any system.
QString reportFileName(const QString& serial, const QString& name, const QString& date);

ReportDocument fillReport(const ReportInputs& inputs);

}  // namespace vqs
