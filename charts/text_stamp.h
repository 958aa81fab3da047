#pragma once
// Chart texts rendered once and stamped afterwards. Shaping and rasterising a text through a
// painter costs tens of microseconds, and the same labels are written again on every redraw of
// a panel; without antialiasing a text is just a set of pixels, so it is kept as one.

#include <QFont>
#include <QHash>
#include <QPoint>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace vqs {

// Point sizes are meant at 96 dots per inch, as on the screens the charts were designed for.
inline constexpr int kCanvasDotsPerMeter = 3780;

// A text at one font: the size of its box and the pixels its glyphs set, relative to the
// box's top-left corner (a glyph may reach outside the box).
struct TextStamp {
    int advance = 0;
    int height = 0;
    std::vector<QPoint> ink;
};

// Renders a text as a painter without antialiasing draws it on a 96-dpi picture.
TextStamp renderTextStamp(const QFont& font, const QString& text);

// Stamps by font size and text. Bounded: texts that change on every reading (a peak value)
// would otherwise pile up.
class TextStampCache {
  public:
    const TextStamp& stamp(const QFont& font, int size, const QString& text);

  private:
    static constexpr int kLimit = 512;
    QHash<std::pair<int, QString>, std::shared_ptr<const TextStamp>> stamps_;
};

}  // namespace vqs
