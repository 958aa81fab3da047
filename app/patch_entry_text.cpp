#include "app/patch_entry_text.h"

#include "colour/fixed_text.h"

namespace vqs {

QString patchEntryText(const QString& label, const XyzTriple& xyz, bool xyMode) {
    float a = 0.0f;
    float b = 0.0f;
    if (xyMode) {
        const float s = xyz.X + xyz.Y + xyz.Z;
        if (s != 0.0f) {
            a = static_cast<float>(static_cast<double>(xyz.X) / s);
            b = static_cast<float>(static_cast<double>(xyz.Y) / s);
        }
    } else {
        const float d = xyz.X + 15.0f * xyz.Y + 3.0f * xyz.Z;
        if (d != 0.0f) {
            a = static_cast<float>(4.0 * xyz.X / d);
            b = static_cast<float>(9.0 * xyz.Y / d);
        }
    }
    return label + QStringLiteral("  (") + fixedText(a, 4, 3) + QStringLiteral(" / ") +
           fixedText(b, 4, 3) + QStringLiteral(" / ") + fixedText(xyz.Y, 4, 1) +
           QStringLiteral(")");
}

}  // namespace vqs
