#include "tables/patch_catalogue.h"

#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QSet>

namespace vqs {
namespace {

TEST(PatchCatalogue, KeysAreUniqueAndFollowTheSlotGroups) {
    const PatchCatalogue c = makePatchCatalogue();
    QSet<QString> keys;
    for (const Ttarget& t : c) keys.insert(t.key);
    EXPECT_EQ(keys.size(), kPatchSlots);

    EXPECT_EQ(c[kStartSlot].key, "--");
    EXPECT_EQ(c[kStopSlot].key, "---");
    EXPECT_EQ(c[kStartSlot].name, "Start Measurment");
    EXPECT_EQ(c[kStopSlot].name, "Stop (Show All)");
    for (int level = 20; level >= 0; --level) {
        const int grey = kFirstGreySlot + 20 - level;
        const int dicom = kFirstDicomSlot + 20 - level;
        EXPECT_EQ(c[grey].key, QStringLiteral("VQS_GRY%1").arg(level));
        EXPECT_EQ(c[dicom].key, QStringLiteral("VQS_DICOM%1").arg(level));
        EXPECT_EQ(c[dicom].name, QStringLiteral("DICOM%1").arg(level));
    }
    for (int n = 1; n <= 15; ++n)
        EXPECT_EQ(c[kFirstEbuSlot + n - 1].key, QStringLiteral("VQS_EBU%1").arg(n));
}

TEST(PatchCatalogue, DicomStepsRepeatTheGreyScale) {
    const PatchCatalogue c = makePatchCatalogue();
    for (int i = 0; i <= kLastGreySlot - kFirstGreySlot; ++i) {
        const Ttarget& grey = c[kFirstGreySlot + i];
        const Ttarget& dicom = c[kFirstDicomSlot + i];
        EXPECT_EQ(grey.r, dicom.r);
        EXPECT_EQ(grey.r, grey.g);
        EXPECT_EQ(grey.r, grey.b);
        EXPECT_EQ(grey.targetY, dicom.targetY);
        EXPECT_TRUE(grey.targetInXy && dicom.targetInXy);
        EXPECT_FLOAT_EQ(grey.targetA, 0.3127f);
        EXPECT_FLOAT_EQ(grey.targetB, 0.3290f);
    }
    // Steps of 13 from Grey18 (230) down to Grey2 (22); Grey19 is nominal white at Y 1.
    for (int slot = 6; slot < 22; ++slot) EXPECT_EQ(c[slot].r - c[slot + 1].r, 13) << slot;
    EXPECT_EQ(c[5].r, 235);
    EXPECT_EQ(c[5].targetY, 1.0f);
    EXPECT_EQ(c[23].r, 16);
    EXPECT_EQ(c[24].r, 0);
}

TEST(PatchCatalogue, PrimariesAndEbuColoursCarryTheirTargets) {
    const PatchCatalogue c = makePatchCatalogue();
    EXPECT_TRUE(c[1].targetInXy);
    EXPECT_FLOAT_EQ(c[1].targetA, 0.64f);
    EXPECT_FLOAT_EQ(c[3].targetB, 0.06f);
    EXPECT_FLOAT_EQ(c[1].targetY + c[2].targetY + c[3].targetY, 1.0f);
    for (int slot = kFirstEbuSlot; slot <= kLastEbuSlot; ++slot)
        EXPECT_FALSE(c[slot].targetInXy) << slot;
    const Ttarget& ebu8 = c[32];
    EXPECT_EQ(ebu8.name, "EBU8 - Medium Red");
    EXPECT_FLOAT_EQ(ebu8.targetY, 19.4f);
    EXPECT_FLOAT_EQ(ebu8.targetA, 0.3248f);
    EXPECT_FLOAT_EQ(ebu8.targetB, 0.4974f);
    EXPECT_EQ(std::tie(ebu8.r, ebu8.g, ebu8.b), std::make_tuple(201, 92, 90));
}

TEST(PatchLabels, DifferFromTheNamesOnlyInTheEbu14Spelling) {
    const PatchCatalogue c = makePatchCatalogue();
    const PatchLabels labels = makePatchLabels();
    for (int slot = 0; slot < kPatchSlots; ++slot) {
        if (slot == 38) continue;
        EXPECT_EQ(labels[slot], c[slot].name) << slot;
    }
    EXPECT_EQ(c[38].name, "EBU14 - Medium Yello Red");
    EXPECT_EQ(labels[38], "EBU14 - Medium Yellow Red");
}

TEST(PatchSlots, OnlyRealPatchesCount) {
    EXPECT_FALSE(isPatchSlot(kStartSlot));
    EXPECT_FALSE(isPatchSlot(kStopSlot));
    EXPECT_FALSE(isPatchSlot(62));
    EXPECT_FALSE(isPatchSlot(-1));
    EXPECT_TRUE(isPatchSlot(1));
    EXPECT_TRUE(isPatchSlot(61));
}

}  // namespace
}  // namespace vqs
