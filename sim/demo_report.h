#pragma once
// The demo's "Print": the report of the measurement is exported as PDF into the demo's output
// folder, its pages are rendered as PNG pictures for a look by eye, and the preview the operator
// would see is captured as a screenshot.

#include "app/tform1.h"

#include <QDir>
#include <QString>

#include <functional>

namespace vqs::sim {

void printDemoReport(TForm1& form, const QDir& output,
                     const std::function<void(const QString&)>& print);

}  // namespace vqs::sim
