// Filling the report: its name, identity, page captions, grades, the EBU deviation table and
// the pictures, for a measured monitor and for reports with nothing or no white measured.

#include "charts/chromaticity_locus.h"
#include "charts/gallery_report.h"
#include "charts/gamma_panel.h"
#include "report/report_filling.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vqs {
namespace {

struct FileNameCase {
    const char* serial;
    const char* name;
    const char* date;
    const char* expected;
};

class ReportFileName : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(ReportFileName, KeepsOnlyLettersDigitsAndSafePunctuation) {
    const FileNameCase& c = GetParam();
    EXPECT_EQ(reportFileName(QString::fromUtf8(c.serial), QString::fromUtf8(c.name),
                             QString::fromUtf8(c.date)),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFileName,
    ::testing::Values(
        FileNameCase{"A/B 12", "Studio \"One\" 'X'", "10.12.2026",
                     "VQSREPORT_AB12_StudioOneX_10.12.2026.pdf"},
        FileNameCase{"", "", "10.12.2026", "VQSREPORT___10.12.2026.pdf"},
        FileNameCase{"..\\..\\etc", "Grüße_ü-1", "12/10/26", "VQSREPORT_....etc_Gre_-1_121026.pdf"},
        FileNameCase{"SN:7", "Monitor\t\n", "", "VQSREPORT_SN7_Monitor_.pdf"}));

XyzTriple fromUvY(float up, float vp, float Y) {
    const XyPoint p = uvToXy(up, vp);
    return {p.x / p.y * Y, Y, (1.0f - p.x - p.y) / p.y * Y};
}

class ReportFilling : public ::testing::Test {
  protected:
    ReportDocument fill(const QString& serial, const QString& name, bool xyMode = false) {
        const ReportInputs inputs{report, targets, reading, serial, name, targetGamma, xyMode};
        return fillReport(inputs);
    }
    QStringList column(const ReportDocument& document, const char* field) {
        return document.text(QString::fromLatin1(field)).split(QLatin1Char('\n'));
    }

    PatchCatalogue targets = makePatchCatalogue();
    Tcaldaten report = makeGalleryReport(targets);
    Tprobevals reading;
    QString targetGamma = QStringLiteral("2.35");
};

bool hasColour(const QImage& picture, QRgb colour, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((picture.pixel(x, y) & 0xffffffu) == (colour & 0xffffffu)) return true;
    return false;
}

bool isPaper(const QImage& picture, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((picture.pixel(x, y) & 0xffffffu) != 0xffffffu) return false;
    return true;
}

// DICOM equivalent gammas reach about 4 and their upper band beyond it, on the grey-scale
// picture as on the DICOM one; the relative band ends at 105 %. The 600 x 300 pictures have
// their plot at x 20..580, y 20..280; right of the caption, the margin above the plot holds
// nothing.
TEST_F(ReportFilling, TransferPicturesOfADicomTargetKeepTheirCurvesInsideThePlot) {
    targetGamma = QStringLiteral("DICOM");
    const ReportDocument document = fill({}, {});
    for (const char* field :
         {"repPicGamma1", "repPicGamma2", "repPicGamma1Dicom", "repPicGamma2Dicom"}) {
        const QImage picture = document.picture(QString::fromLatin1(field));
        EXPECT_TRUE(isPaper(picture, QRect(QPoint(300, 0), QPoint(599, 19)))) << field;
        EXPECT_TRUE(hasColour(picture, kTargetCurveColour, QRect(QPoint(21, 21), QPoint(579, 279))))
            << field << ": the target is drawn";
    }
}

// Each 2-pixel legend line shows a colour that a picture on its page is drawn with.
TEST_F(ReportFilling, LegendLinesShowColoursOfTheirPagesPictures) {
    const ReportDocument document = fill({}, {});
    const auto& pages = document.layout().pages;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        QList<QImage> pictures;
        for (const TemplateElement& e : pages[page].elements)
            if (e.kind == ElementKind::pictureField) pictures << document.picture(e.content);
        for (const TemplateElement& e : pages[page].elements) {
            if (e.kind != ElementKind::line || e.penPixels != 2) continue;
            const bool shown = std::any_of(pictures.begin(), pictures.end(), [&](const QImage& p) {
                return hasColour(p, e.colour, p.rect());
            });
            EXPECT_TRUE(shown) << "page " << page + 1 << ", legend line at y " << e.box.top()
                               << " mm in RGB " << qRed(e.colour) << ',' << qGreen(e.colour) << ','
                               << qBlue(e.colour);
        }
    }
}

TEST_F(ReportFilling, CaptionsFollowPrintOrderAndEveryPageNamesTheMonitor) {
    report.repdate = QStringLiteral("10.12.2026");
    const ReportDocument document = fill(QStringLiteral("SN/1"), QStringLiteral("Studio A"));
    const char* const captionsInPrintOrder[] = {"pageNofM1", "pageNofM6", "pageNofM2",
                                                "pageNofM3", "pageNofM4", "pageNofM5"};
    for (int page = 0; page < 6; ++page)
        EXPECT_EQ(document.text(QString::fromLatin1(captionsInPrintOrder[page])),
                  QStringLiteral("Page %1 of 6").arg(page + 1));
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(document.text(QStringLiteral("repDUTname%1").arg(n)),
                  QStringLiteral("DUT: #SN/1 Studio A"));
    EXPECT_EQ(document.text(QStringLiteral("devSNID")), QStringLiteral("SN/1"));
    EXPECT_EQ(document.text(QStringLiteral("devName")), QStringLiteral("Studio A"));
    EXPECT_EQ(document.text(QStringLiteral("repDatum")), QStringLiteral("10.12.2026"));
    EXPECT_EQ(document.title, QStringLiteral("VQSREPORT_SN1_StudioA_10.12.2026.pdf"));
}

TEST_F(ReportFilling, EmptyIdentityLeavesOneBlankInTheDutLine) {
    const ReportDocument document = fill(QString(), QString());
    EXPECT_EQ(document.text(QStringLiteral("repDUTname3")), QStringLiteral("DUT: # "));
}

TEST_F(ReportFilling, TwentyGradesBesideTwentyOneGreyLines) {
    // Grey20 exactly at D65 is grade 1; Grey19 far off is outside every ellipse.
    report.xyz[4] = fromUvY(0.1978f, 0.4683f, 200.0f);
    report.xyz[5] = fromUvY(0.2300f, 0.4683f, 150.0f);
    const QStringList grades = column(fill({}, {}), "repTABgrygrading");
    ASSERT_EQ(grades.size(), 21);  // twenty grades, each ending its line
    EXPECT_EQ(grades[0], QStringLiteral("1"));
    EXPECT_EQ(grades[1], QStringLiteral("--"));
    EXPECT_EQ(grades[20], QString());
}

TEST_F(ReportFilling, EbuTableOfAKnownReport) {
    report = Tcaldaten{};
    report.xyz[5] = fromUvY(0.1978f, 0.4683f, 100.0f);
    // EBU1 on its target at its nominal luminance; EBU2 0.01 off in u' and 2 % too bright.
    report.xyz[25] = fromUvY(0.253f, 0.5015f, 9.6f);
    report.xyz[26] = fromUvY(0.2466f, 0.4931f, 39.7f);
    const ReportDocument document = fill({}, {});
    const char* const fields[] = {"repTabEBUCcolY",   "repTabEBUCcolu",  "repTabEBUCcolv",
                                  "repTabEBUCcol_u",  "repTabEBUCcol_v", "repTabEBUCcol_Y",
                                  "repTabEBUCcol_Tol"};
    const QStringList rows[2] = {
        {"9.6", "0.2530", "0.5015", "0.00000", "0.00000", "0.000", "In"},
        {"37.7", "0.2366", "0.4931", "0.01000", "0.00000", "2.000", "Out"},
    };
    for (int c = 0; c < 7; ++c) {
        const QStringList values = column(document, fields[c]);
        ASSERT_EQ(values.size(), 16) << fields[c];
        for (int r = 0; r < 2; ++r) EXPECT_EQ(values[r], rows[r][c]) << fields[c] << " row " << r;
    }
    EXPECT_EQ(document.text(QStringLiteral("repTabEBUCheader2")), QStringLiteral("u'"));
    EXPECT_EQ(document.text(QStringLiteral("repTabEBUCheader5")), QStringLiteral("d v'"));
}

TEST_F(ReportFilling, XyModeShowsXyButJudgesInUv) {
    report = Tcaldaten{};
    report.xyz[25] = fromUvY(0.253f, 0.5015f, 9.6f);
    const ReportDocument document = fill({}, {}, true);
    const XyPoint target = uvToXy(0.253f, 0.5015f);
    EXPECT_EQ(column(document, "repTabEBUCcolu")[0], QString::number(target.x, 'f', 4));
    EXPECT_EQ(column(document, "repTabEBUCcol_u")[0], QStringLiteral("0.00000"));
    EXPECT_EQ(column(document, "repTabEBUCcol_Tol")[0], QStringLiteral("In"));
    EXPECT_EQ(document.text(QStringLiteral("repTabEBUCheader4")), QStringLiteral("d x"));
}

TEST_F(ReportFilling, UnmeasuredWhiteGivesNoLuminanceDeviation) {
    report.xyz[5] = XyzTriple{};
    const QStringList deviations = column(fill({}, {}), "repTabEBUCcol_Y");
    for (int r = 0; r < 15; ++r) EXPECT_EQ(deviations[r], QStringLiteral("0.000")) << r;
}

TEST_F(ReportFilling, NothingMeasuredIsGradedOutEverywhere) {
    report = Tcaldaten{};
    const ReportDocument document = fill({}, {});
    const QStringList grades = column(document, "repTABgrygrading");
    for (int r = 0; r < 20; ++r) EXPECT_EQ(grades[r], QStringLiteral("--")) << r;
    const QStringList judged = column(document, "repTabEBUCcol_Tol");
    for (int r = 0; r < 15; ++r) EXPECT_EQ(judged[r], QStringLiteral("Out")) << r;
    // The red primary's marker sits at the axis minimum of its gamut picture, in its colour.
    const QImage red = document.picture(QStringLiteral("repPicGamut2R"));
    const int left = 20;
    const int bottom = red.height() - 20;
    EXPECT_EQ(red.pixel(left, bottom) & 0xffffffu, 0xff0000u);
}

TEST_F(ReportFilling, EveryPictureFieldGetsItsPictureAtItsSize) {
    const ReportDocument document = fill({}, {});
    const std::pair<const char*, QSize> pictures[] = {
        {"repPicGamma1", {600, 300}},          {"repPicGamma2", {600, 300}},
        {"repPicGamma1Dicom", {600, 300}},     {"repPicGamma2Dicom", {600, 300}},
        {"repPicGrey1", {380, 380}},           {"repPicGrey2CIE", {380, 380}},
        {"repPicGamut3CIEgrey", {380, 380}},   {"repPicGamut1G", {270, 190}},
        {"repPicGamut2R", {270, 190}},         {"repPicGamut4B", {270, 190}},
        {"repPicGamut5ebucolors", {458, 458}}, {"repPicGamut6ciecolors", {458, 458}},
    };
    for (const auto& [field, size] : pictures)
        EXPECT_EQ(document.picture(QString::fromLatin1(field)).size(), size) << field;
    EXPECT_EQ(document.layout().pictureFields.size(), 12);
}

TEST(ReportDocumentFields, UnknownNamesAreRefused) {
    ReportDocument document;
    EXPECT_TRUE(document.setText(QStringLiteral("devName"), QStringLiteral("A")));
    EXPECT_FALSE(document.setText(QStringLiteral("devname"), QStringLiteral("A")));
    EXPECT_FALSE(
        document.setPicture(QStringLiteral("devName"), QImage(1, 1, QImage::Format_RGB32)));
    EXPECT_EQ(document.text(QStringLiteral("devname")), QString());
}

}  // namespace
}  // namespace vqs
