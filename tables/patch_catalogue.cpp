#include "tables/patch_catalogue.h"

namespace vqs {

namespace {

struct PatchRow {
    const char* key;
    const char* name;
    bool targetInXy;
    float targetY, targetA, targetB;
    int32_t r, g, b;
};

// Primaries per ITU-R BT.709 with their relative luminance coefficients; greys and DICOM steps
// target D65; the EBU test colours are given in u', v'. Slots 0 and 40 are not patches.
constexpr PatchRow kRows[kPatchSlots] = {
    {"--", "Start Measurment", false, 0.0f, 0.0f, 0.0f, 255, 255, 255},  // 0
    {"VQS_RED", "Red", true, 0.2126f, 0.64f, 0.33f, 255, 0, 0},  // 1
    {"VQS_GREEN", "Green", true, 0.7152f, 0.3f, 0.6f, 0, 255, 0},  // 2
    {"VQS_BLUE", "Blue", true, 0.0722f, 0.15f, 0.06f, 0, 0, 255},  // 3
    {"VQS_GRY20", "Grey20 - SuperWhite", true, 1.212f, 0.3127f, 0.3290f, 255, 255, 255},  // 4
    {"VQS_GRY19", "Grey19 - White", true, 1.0f, 0.3127f, 0.3290f, 235, 235, 235},  // 5
    {"VQS_GRY18", "Grey18", true, 0.951f, 0.3127f, 0.3290f, 230, 230, 230},  // 6
    {"VQS_GRY17", "Grey17", true, 0.829f, 0.3127f, 0.3290f, 217, 217, 217},  // 7
    {"VQS_GRY16", "Grey16", true, 0.717f, 0.3127f, 0.3290f, 204, 204, 204},  // 8
    {"VQS_GRY15", "Grey15", true, 0.614f, 0.3127f, 0.3290f, 191, 191, 191},  // 9
    {"VQS_GRY14", "Grey14", true, 0.521f, 0.3127f, 0.3290f, 178, 178, 178},  // 10
    {"VQS_GRY13", "Grey13", true, 0.436f, 0.3127f, 0.3290f, 165, 165, 165},  // 11
    {"VQS_GRY12", "Grey12", true, 0.359f, 0.3127f, 0.3290f, 152, 152, 152},  // 12
    {"VQS_GRY11", "Grey11", true, 0.291f, 0.3127f, 0.3290f, 139, 139, 139},  // 13
    {"VQS_GRY10", "Grey10", true, 0.231f, 0.3127f, 0.3290f, 126, 126, 126},  // 14
    {"VQS_GRY9", "Grey9", true, 0.168f, 0.3127f, 0.3290f, 113, 113, 113},  // 15
    {"VQS_GRY8", "Grey8", true, 0.134f, 0.3127f, 0.3290f, 100, 100, 100},  // 16
    {"VQS_GRY7", "Grey7", true, 0.097f, 0.3127f, 0.3290f, 87, 87, 87},  // 17
    {"VQS_GRY6", "Grey6", true, 0.066f, 0.3127f, 0.3290f, 74, 74, 74},  // 18
    {"VQS_GRY5", "Grey5", true, 0.042f, 0.3127f, 0.3290f, 61, 61, 61},  // 19
    {"VQS_GRY4", "Grey4", true, 0.024f, 0.3127f, 0.3290f, 48, 48, 48},  // 20
    {"VQS_GRY3", "Grey3", true, 0.011f, 0.3127f, 0.3290f, 35, 35, 35},  // 21
    {"VQS_GRY2", "Grey2", true, 0.004f, 0.3127f, 0.3290f, 22, 22, 22},  // 22
    {"VQS_GRY1", "Grey1", true, 0.002f, 0.3127f, 0.3290f, 16, 16, 16},  // 23
    {"VQS_GRY0", "Grey0 - Black", true, 0.0f, 0.3127f, 0.3290f, 0, 0, 0},  // 24
    {"VQS_EBU1", "EBU1 - Dark Skin", false, 9.6f, 0.253f, 0.5015f, 122, 86, 70},  // 25
    {"VQS_EBU2", "EBU2 - Light Skin", false, 37.7f, 0.2366f, 0.4931f, 205, 158, 137},  // 26
    {"VQS_EBU3", "EBU3 - Light Greyish Red", false, 29.8f, 0.2364f, 0.4848f, 187, 142, 133},  // 27
    {"VQS_EBU4", "EBU4 - Light Yellow Green", false, 29.9f, 0.1807f, 0.5452f, 135, 163, 58},  // 28
    {"VQS_EBU5", "EBU5 - Light Bluish Green", false, 29.8f, 0.1629f, 0.4552f, 105, 162, 167},  // 29
    {"VQS_EBU6", "EBU6 - Light Violet", false, 30.1f, 0.2087f, 0.4157f, 166, 143, 197},  // 30
    {"VQS_EBU7", "EBU7 - Foliage", false, 13.4f, 0.1813f, 0.5207f, 96, 114, 71},  // 31
    {"VQS_EBU8", "EBU8 - Medium Red", false, 19.4f, 0.3248f, 0.4974f, 201, 92, 90},  // 32
    {"VQS_EBU9", "EBU9 - Medium Green", false, 43.6f, 0.1505f, 0.5329f, 109, 199, 103},  // 33
    {"VQS_EBU10", "EBU10 - Medium Blue", false, 17.2f, 0.1791f, 0.3706f, 98, 117, 185},  // 34
    {"VQS_EBU11", "EBU11 - Dark Red", false, 6.5f, 0.3046f, 0.4895f, 121, 62, 63},  // 35
    {"VQS_EBU12", "EBU12 - Dark Green", false, 19.9f, 0.1462f, 0.5321f, 71, 143, 76},  // 36
    {"VQS_EBU13", "EBU13 - Dark Blue", false, 6.0f, 0.1825f, 0.3422f, 65, 72, 130},  // 37
    {"VQS_EBU14", "EBU14 - Medium Yello Red", false, 43.5f, 0.2726f, 0.5273f, 244, 159, 86},  // 38
    {"VQS_EBU15", "EBU15 - Medium Purple", false, 20.0f, 0.2349f, 0.4034f, 161, 110, 172},  // 39
    {"---", "Stop (Show All)", false, 0.0f, 0.0f, 0.0f, 255, 255, 255},  // 40
    {"VQS_DICOM20", "DICOM20", true, 1.212f, 0.3127f, 0.3290f, 255, 255, 255},  // 41
    {"VQS_DICOM19", "DICOM19", true, 1.0f, 0.3127f, 0.3290f, 235, 235, 235},  // 42
    {"VQS_DICOM18", "DICOM18", true, 0.951f, 0.3127f, 0.3290f, 230, 230, 230},  // 43
    {"VQS_DICOM17", "DICOM17", true, 0.829f, 0.3127f, 0.3290f, 217, 217, 217},  // 44
    {"VQS_DICOM16", "DICOM16", true, 0.717f, 0.3127f, 0.3290f, 204, 204, 204},  // 45
    {"VQS_DICOM15", "DICOM15", true, 0.614f, 0.3127f, 0.3290f, 191, 191, 191},  // 46
    {"VQS_DICOM14", "DICOM14", true, 0.521f, 0.3127f, 0.3290f, 178, 178, 178},  // 47
    {"VQS_DICOM13", "DICOM13", true, 0.436f, 0.3127f, 0.3290f, 165, 165, 165},  // 48
    {"VQS_DICOM12", "DICOM12", true, 0.359f, 0.3127f, 0.3290f, 152, 152, 152},  // 49
    {"VQS_DICOM11", "DICOM11", true, 0.291f, 0.3127f, 0.3290f, 139, 139, 139},  // 50
    {"VQS_DICOM10", "DICOM10", true, 0.231f, 0.3127f, 0.3290f, 126, 126, 126},  // 51
    {"VQS_DICOM9", "DICOM9", true, 0.168f, 0.3127f, 0.3290f, 113, 113, 113},  // 52
    {"VQS_DICOM8", "DICOM8", true, 0.134f, 0.3127f, 0.3290f, 100, 100, 100},  // 53
    {"VQS_DICOM7", "DICOM7", true, 0.097f, 0.3127f, 0.3290f, 87, 87, 87},  // 54
    {"VQS_DICOM6", "DICOM6", true, 0.066f, 0.3127f, 0.3290f, 74, 74, 74},  // 55
    {"VQS_DICOM5", "DICOM5", true, 0.042f, 0.3127f, 0.3290f, 61, 61, 61},  // 56
    {"VQS_DICOM4", "DICOM4", true, 0.024f, 0.3127f, 0.3290f, 48, 48, 48},  // 57
    {"VQS_DICOM3", "DICOM3", true, 0.011f, 0.3127f, 0.3290f, 35, 35, 35},  // 58
    {"VQS_DICOM2", "DICOM2", true, 0.004f, 0.3127f, 0.3290f, 22, 22, 22},  // 59
    {"VQS_DICOM1", "DICOM1", true, 0.002f, 0.3127f, 0.3290f, 16, 16, 16},  // 60
    {"VQS_DICOM0", "DICOM0", true, 0.0f, 0.3127f, 0.3290f, 0, 0, 0},  // 61
};

constexpr int kEbu14Slot = 38;

}  // namespace

PatchCatalogue makePatchCatalogue() {
    PatchCatalogue catalogue;
    for (int slot = 0; slot < kPatchSlots; ++slot) {
        const PatchRow& row = kRows[slot];
        catalogue[slot] = Ttarget{QString::fromLatin1(row.key), QString::fromLatin1(row.name),
                                  row.targetInXy, row.targetY, row.targetA, row.targetB,
                                  row.r, row.g, row.b};
    }
    return catalogue;
}

PatchLabels makePatchLabels() {
    PatchLabels labels;
    for (int slot = 0; slot < kPatchSlots; ++slot) labels[slot] = QString::fromLatin1(kRows[slot].name);
    labels[kEbu14Slot] = QStringLiteral("EBU14 - Medium Yellow Red");
    return labels;
}

}  // namespace vqs
