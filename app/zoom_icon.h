#pragma once
// The zoom button's picture: a magnifying glass with a plus, drawn here so it looks the same
// whatever icon theme the desktop has (the style's own icons have no zoom picture).

#include <QIcon>

namespace vqs {

QIcon zoomInIcon();

}  // namespace vqs
