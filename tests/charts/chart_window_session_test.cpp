// The chart window's state and rhythm without a window: presentation switches, the chart
// buttons' chart, the zoom chart and its staleness, the zoom window's place, the picture size
// and the picture export.

#include "charts/chart_window_session.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <memory>

namespace vqs {
namespace {

// The share of pixels two pictures have in common (0 for pictures of different sizes).
double sameShare(const Canvas& a, const Canvas& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.width() == 0) return 0.0;
    long same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) same += a.pixel(x, y) == b.pixel(x, y);
    return double(same) / (double(a.width()) * a.height());
}

// A store that keeps nothing, as one the user may not write.
class RefusingStore final : public SettingsStore {
  public:
    bool keyExists(const QString&) const override { return false; }
    std::optional<QString> readText(const QString&, const QString&) const override { return {}; }
    std::optional<int32_t> readInt(const QString&, const QString&) const override { return {}; }
    std::optional<QByteArray> readBytes(const QString&, const QString&) const override {
        return {};
    }
    bool openKeyForWriting(const QString&) override { return false; }
    bool writeValues(std::span<const StoreValue>) override { return false; }
};

// What the session told the window.
struct WindowSeen {
    QStringList quiet;
    bool zoomVisible = false;
    int zoomRedraws = 0;
};

class ChartWindowSessionTest : public testing::Test {
  protected:
    ChartWindowSessionTest() {
        settings_.reportDir = reportDir_.path();
        makeSession(store_);
    }

    // A session over the fixture's records with another settings store.
    void makeSession(SettingsStore& store) {
        ChartWindowView view{[this](const QString& text) { seen_.quiet << text; },
                             [this] { return seen_.zoomVisible; },
                             // As the zoom window does: the chart again at the window's size.
                             [this] {
                                 ++seen_.zoomRedraws;
                                 session_->drawZoomChart(charts_->zoom.tag, kZoomClient.width(),
                                                         kZoomClient.height(), kStartSlot);
                             }};
        session_ = std::make_unique<ChartWindowSession>(
            ChartWindowRecords{*charts_,
                               {xyMode_, spectralView_, rgbView_},
                               report_,
                               targets_,
                               settings_,
                               probe1_,
                               probe2_},
            ChartWindowServices{prompter_, clock_, store, trace_}, std::move(view));
        session_->createCharts();
    }

    ChartWindowSession& session() { return *session_; }
    Settings storedSettings() const {
        Settings stored;
        loadSettings(store_, stored);
        return stored;
    }
    QStringList filesIn(const QString& pattern) const {
        return QDir(reportDir_.path()).entryList({pattern}, QDir::Files, QDir::Name);
    }
    // The view picture the spectral area shows now: the one it has most pixels in common with.
    int shownView() const {
        int best = -1;
        double bestShare = -1.0;
        for (int view = 0; view < kSpectralViews; ++view) {
            const double share =
                sameShare(charts_->areas.SpectralGraph, charts_->pictures[viewPicture(view)]);
            if (share > bestShare) {
                best = view;
                bestShare = share;
            }
        }
        return best;
    }

    static constexpr QSize kZoomClient{500, 340};

    std::unique_ptr<ChartSet> charts_ = std::make_unique<ChartSet>();
    bool xyMode_ = false;
    int spectralView_ = 0;
    int rgbView_ = 0;
    Tcaldaten report_;
    PatchCatalogue targets_ = makePatchCatalogue();
    Settings settings_;
    Tprobevals probe1_;
    Tprobevals probe2_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0, 7)};
    QTemporaryDir configHome_;
    QTemporaryDir reportDir_;
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    StepTrace trace_;
    WindowSeen seen_;
    std::unique_ptr<ChartWindowSession> session_;
};

// ---- Charts and presentation ----------------------------------------------------------------

TEST_F(ChartWindowSessionTest, CreatedChartsAreTracedAndEveryAreaShowsItsPictureInBothModes) {
    EXPECT_EQ(trace_.steps(), QStringList{QStringLiteral("createCharts")});
    struct Case {
        int tag;
        const Canvas ChartAreas::*area;
        int uvPicture;
        int xyPicture;
    };
    const Case cases[] = {
        {kCieTag, &ChartAreas::cieGraph, kDiagramUvPicture, kDiagramXyPicture},
        {kSpectralTag, &ChartAreas::SpectralGraph, viewPicture(0), viewPicture(0)},
        {kGreyScaleTag, &ChartAreas::grayScaleGraph, kGreyUvPicture, kGreyXyPicture},
        {kEbuColoursTag, &ChartAreas::ebuColorsGraph, kEbuUvPicture, kEbuXyPicture},
        {kRgbTag, &ChartAreas::rgbGraph, gamutPicture(false, 0), gamutPicture(true, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sameShare(charts_->areas.*c.area, charts_->pictures[c.uvPicture]), 1.0)
            << "tag " << c.tag << " after creation";
    session().toggleXyMode();
    for (const Case& c : cases) {
        session().paintArea(c.tag);
        EXPECT_EQ(sameShare(charts_->areas.*c.area, charts_->pictures[c.xyPicture]), 1.0)
            << "tag " << c.tag << " in x, y";
    }
}

TEST_F(ChartWindowSessionTest, SpectralViewsStepBothWaysAroundAndAreReplotted) {
    struct Case {
        int from;
        ViewStep step;
        int to;
    };
    const Case cases[] = {
        {0, ViewStep::forward, 1},  {4, ViewStep::forward, 5},  {5, ViewStep::forward, 0},
        {0, ViewStep::backward, 5}, {3, ViewStep::backward, 2}, {1, ViewStep::backward, 0},
    };
    for (const Case& c : cases) {
        spectralView_ = c.from;
        session().replotSpectralPanel(kStartSlot);
        ASSERT_EQ(shownView(), c.from);
        session().stepSpectralView(c.step, kStartSlot);
        EXPECT_EQ(spectralView_, c.to) << "from view " << c.from;
        EXPECT_EQ(shownView(), c.to) << "from view " << c.from;
    }
}

TEST_F(ChartWindowSessionTest, RgbViewsGoRoundAndTheDiagramTogglesItsCoordinates) {
    for (int expected : {1, 2, 0, 1}) {
        session().stepRgbView();
        EXPECT_EQ(rgbView_, expected);
    }
    for (bool expected : {true, false}) {
        session().toggleXyMode();
        EXPECT_EQ(xyMode_, expected);
    }
    EXPECT_EQ(spectralView_, 0) << "the other switches leave the spectral view";
}

TEST_F(ChartWindowSessionTest, ChartButtonsBelongToOneChartAtATime) {
    EXPECT_EQ(session().chartButtonTag(), 0);
    EXPECT_TRUE(session().showButtonsOn(kGreyScaleTag));
    EXPECT_FALSE(session().showButtonsOn(kGreyScaleTag)) << "already there: not placed again";
    EXPECT_TRUE(session().showButtonsOn(kSpectralTag));
    EXPECT_EQ(session().chartButtonTag(), kSpectralTag);
    session().hideButtons();
    EXPECT_EQ(session().chartButtonTag(), 0);
    EXPECT_TRUE(session().showButtonsOn(kSpectralTag)) << "placed again after hiding";
}

// ---- Zoom window ----------------------------------------------------------------------------

// A zoom chart drawn in one presentation is drawn again after a switch that changes what it
// shows, and only then.
TEST_F(ChartWindowSessionTest, ZoomChartIsDrawnAgainAfterASwitchOfWhatItShows) {
    enum class Switch { spectralForward, spectralBackward, coordinates };
    struct Case {
        const char* what;
        int tag;
        Switch change;
        bool stale;
        const char* nameAfter;
    };
    const Case cases[] = {
        {"spectral zoom, next view", kSpectralTag, Switch::spectralForward, true,
         "SpectralgraphWide"},
        {"spectral zoom, previous view", kSpectralTag, Switch::spectralBackward, true,
         "DICOMDCgraph"},
        {"spectral zoom, x, y", kSpectralTag, Switch::coordinates, false, "SpectralgraphNarrow"},
        {"diagram zoom, x, y", kCieTag, Switch::coordinates, true, "CIEDiagramxy"},
        {"diagram zoom, next view", kCieTag, Switch::spectralForward, false, "CIEDiagramuv"},
        {"grey zoom, x, y", kGreyScaleTag, Switch::coordinates, true,
         "GreyscaleTolerancefieldxy"},
    };
    for (const Case& c : cases) {
        xyMode_ = false;
        spectralView_ = 0;
        seen_ = {};
        seen_.zoomVisible = true;
        const QString caption = session().drawZoomChart(c.tag, kZoomClient.width(),
                                                        kZoomClient.height(), kStartSlot);
        EXPECT_FALSE(session().zoomStale()) << c.what;
        EXPECT_EQ(QSize(charts_->zoom.PaintBox1.width(), charts_->zoom.PaintBox1.height()),
                  kZoomClient)
            << "the chart fills the client area: " << c.what;
        EXPECT_EQ(caption, QStringLiteral("VQS1.0 ") + charts_->zoom.name) << c.what;

        // As the window's double-click and press do.
        if (c.change == Switch::coordinates) {
            session().toggleXyMode();
            EXPECT_EQ(session().zoomStale(), c.stale) << c.what;
            session().refresh(kStartSlot);
        } else {
            session().stepSpectralView(
                c.change == Switch::spectralForward ? ViewStep::forward : ViewStep::backward,
                kStartSlot);
        }
        EXPECT_EQ(seen_.zoomRedraws, c.stale ? 1 : 0) << c.what;
        EXPECT_FALSE(session().zoomStale()) << c.what;
        EXPECT_EQ(charts_->zoom.name, QString::fromLatin1(c.nameAfter)) << c.what;
    }
}

TEST_F(ChartWindowSessionTest, AHiddenZoomWindowIsNeitherRedrawnNorShown) {
    session().drawZoomChart(kCieTag, kZoomClient.width(), kZoomClient.height(), kStartSlot);
    seen_.zoomVisible = false;
    session().toggleXyMode();
    session().refresh(kStartSlot);
    EXPECT_EQ(seen_.zoomRedraws, 0);
    EXPECT_FALSE(charts_->zoom.shown);
    EXPECT_TRUE(session().zoomStale()) << "drawn again when the window shows it";

    seen_.zoomVisible = true;
    session().refresh(kStartSlot);
    EXPECT_EQ(seen_.zoomRedraws, 1);
    EXPECT_TRUE(charts_->zoom.shown);
}

TEST_F(ChartWindowSessionTest, ZoomPlaceIsKeptPerChartAndAFailedStoreIsTold) {
    RefusingStore refusing;
    struct Case {
        const char* what;
        SettingsStore* store;
        int tag;
        bool kept;
        bool told;
    };
    const Case cases[] = {
        {"stored", &store_, kEbuColoursTag, true, false},
        {"the store refuses", &refusing, kCieTag, true, true},
        {"no chart of that tag", &store_, 7, false, false},
        {"no chart of a negative tag", &refusing, -1, false, false},
    };
    const std::array<int32_t, 4> placed{120, 130, 412, 440};
    for (const Case& c : cases) {
        settings_ = Settings();
        ASSERT_TRUE(saveWindowTables(store_, settings_));
        prompter_ = test::ScriptedPrompter();
        makeSession(*c.store);
        charts_->zoom.shown = true;

        session().zoomWindowClosed(c.tag, placed);
        EXPECT_FALSE(charts_->zoom.shown) << c.what;
        EXPECT_EQ(session().zoomPlacement(c.tag).has_value(), c.kept) << c.what;
        if (c.kept) {
            EXPECT_EQ(*session().zoomPlacement(c.tag), placed) << c.what;
            EXPECT_EQ(storedSettings().zoomGeometry[c.tag] == placed, !c.told) << c.what;
        }
        EXPECT_EQ(storedSettings().zoomGeometry == settings_.zoomGeometry, !c.told) << c.what;
        ASSERT_EQ(prompter_.shown().size(), c.told ? 1u : 0u) << c.what;
        if (c.told) {
            EXPECT_EQ(prompter_.shown()[0].kind, PromptKind::Warning);
            EXPECT_EQ(prompter_.shown()[0].text,
                      QStringLiteral("The zoom window's place could not be stored."));
        }
    }
    makeSession(store_);  // the refusing store goes with this test
}

// ---- The picture ----------------------------------------------------------------------------

TEST_F(ChartWindowSessionTest, PictureSizeAnswersAreTakenOrRefused) {
    struct Case {
        const char* what;
        int tag;
        const char* answer;
        QSize stored;
        bool written;
    };
    const Case cases[] = {
        {"as asked", kCieTag, "640,480", {640, 480}, true},
        {"grey scale panel made square", kGreyScaleTag, "301,500", {400, 400}, true},
        {"edges of the range, blanks around", kRgbTag, " 100 , 2048 ", {100, 2048}, true},
        {"width below the range", kRgbTag, "99,300", {800, 300}, false},
        {"height above the range", kSpectralTag, "300,2049", {800, 400}, false},
        {"not numbers", kCieTag, "wide,high", {800, 800}, false},
        {"three numbers", kCieTag, "300,300,300", {800, 800}, false},
        {"a fraction", kEbuColoursTag, "300.5,300", {512, 512}, false},
        {"nothing", kEbuColoursTag, "", {512, 512}, false},
    };
    for (const Case& c : cases) {
        settings_.pictureSize = kDefaultWindowTable;
        ASSERT_TRUE(saveWindowTables(store_, settings_));
        prompter_ = test::ScriptedPrompter();
        seen_ = {};
        const QStringList before = filesIn(QStringLiteral("*.png"));
        session().showButtonsOn(c.tag);
        prompter_.answerNextInput(QString::fromLatin1(c.answer));
        session().savePicture(kStartSlot);
        session().hideButtons();

        ASSERT_FALSE(prompter_.shown().empty()) << c.what;
        EXPECT_EQ(prompter_.shown()[0].text,
                  QString::fromUtf8("Aufl\u00f6sung: Width and height, 100 to 2048 each\n"
                                    "Pixel,Zeilen:"));
        const auto& entry = settings_.pictureSize[c.tag];
        EXPECT_EQ(QSize(entry[2], entry[3]), c.stored) << c.what;
        EXPECT_EQ(storedSettings().pictureSize, settings_.pictureSize) << c.what;
        const QStringList after = filesIn(QStringLiteral("*.png"));
        ASSERT_EQ(after.size(), before.size() + (c.written ? 1 : 0)) << c.what;
        if (c.written) {
            EXPECT_EQ(QImage(session().lastPicturePath()).size(), c.stored) << c.what;
            EXPECT_EQ(prompter_.shown().size(), 1u) << "confirmed without a box: " << c.what;
            EXPECT_EQ(seen_.quiet, QStringList{"The picture was saved as " +
                                               QDir::toNativeSeparators(
                                                   session().lastPicturePath())})
                << c.what;
        } else {
            ASSERT_EQ(prompter_.shown().size(), 2u) << "a refused size is told: " << c.what;
            EXPECT_EQ(prompter_.shown()[1].kind, PromptKind::Warning);
            EXPECT_TRUE(prompter_.shown()[1].text.contains("from 100 to 2048")) << c.what;
            EXPECT_TRUE(prompter_.shown()[1].text.contains(
                QStringLiteral("\"%1\"").arg(QString::fromLatin1(c.answer).trimmed())))
                << "the refusal repeats the answer: " << c.what;
            EXPECT_TRUE(seen_.quiet.isEmpty()) << c.what;
        }
    }
}

TEST_F(ChartWindowSessionTest, PicturesOfADayNeverReplaceEachOther) {
    session().showButtonsOn(kRgbTag);
    for (int i = 0; i < 3; ++i) {
        prompter_.answerNextInput(QStringLiteral("300,200"));
        session().savePicture(kStartSlot);
    }
    EXPECT_EQ(filesIn(QStringLiteral("VQSCHART_RedTolerancefielduv_*.png")).size(), 3);
}

// The chart's name in the presentation, the day and the second; a second picture within the
// same second is numbered.
TEST_F(ChartWindowSessionTest, PictureNamesCarryChartDayAndSecond) {
    session().showButtonsOn(kCieTag);
    const QString stem = QStringLiteral("VQSCHART_CIEDiagramuv_10 Dec 2026_100007");
    for (const QString& expected : {stem + ".png", stem + "_2.png", stem + "_3.png"}) {
        prompter_.answerNextInput(QStringLiteral("300,300"));
        session().savePicture(kStartSlot);
        EXPECT_EQ(session().lastPicturePath(), QDir(reportDir_.path()).filePath(expected));
    }
    session().toggleXyMode();
    clock_.set(QDate(2026, 12, 11), QTime(9, 5, 0));
    prompter_.answerNextInput(QStringLiteral("300,300"));
    session().savePicture(kStartSlot);
    EXPECT_EQ(QFileInfo(session().lastPicturePath()).fileName(),
              QStringLiteral("VQSCHART_CIEDiagramxy_11 Dec 2026_090500.png"));
    EXPECT_EQ(filesIn(QStringLiteral("VQSCHART_*.png")).size(), 4);
}

TEST_F(ChartWindowSessionTest, APictureThatCannotBeWrittenIsToldWithItsName) {
    settings_.reportDir = reportDir_.filePath(QStringLiteral("gone"));
    session().showButtonsOn(kCieTag);
    prompter_.answerNextInput(QStringLiteral("300,300"));
    session().savePicture(kStartSlot);
    ASSERT_EQ(prompter_.shown().size(), 2u);
    EXPECT_EQ(prompter_.shown()[1].kind, PromptKind::Error);
    EXPECT_TRUE(prompter_.shown()[1].text.contains(QStringLiteral("gone")));
    EXPECT_TRUE(session().lastPicturePath().isEmpty());
    EXPECT_TRUE(seen_.quiet.isEmpty()) << "a failure is no confirmation";
}

}  // namespace
}  // namespace vqs
