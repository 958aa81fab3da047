#pragma once
// A plausible measured report for the gallery: a monitor close to EBU Tech 3325 with small
// errors, so that every chart has something to show.

#include "data/monitor_records.h"
#include "tables/patch_catalogue.h"

namespace vqs {

Tcaldaten makeGalleryReport(const PatchCatalogue& targets);

}  // namespace vqs
