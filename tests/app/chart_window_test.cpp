// The chart window: presentation switches by mouse, the chart buttons, the zoom window with its
// size rules, the picture size and the picture export, and the save button's daily files.

#include "app/application.h"
#include "app/chart_area.h"
#include "app/tform3.h"
#include "charts/chart_set.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace vqs {
namespace {

// Delivers D65 with a flat spectrum over 380..780 nm on every poll.
class SteadyProbe final : public ProbeDriver {
  public:
    bool open() override { return false; }
    int poll(int, float& X, float& Y, float& Z, Tsprad& spectrum) override {
        X = 95.047f;
        Y = 100.0f;
        Z = 108.883f;
        spectrum.firstWavelength = 380;
        spectrum.lastWavelength = 780;
        spectrum.count = 401;
        spectrum.values.fill(0.5f);
        return 1;
    }
    void release(int) override {}
    void close() override {}
};

void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button) {
    const QPointF at(5, 5);
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
void press(QWidget* widget, Qt::MouseButton button) {
    sendMouse(widget, QEvent::MouseButtonPress, button);
}
void doubleClick(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(widget, QEvent::MouseButtonDblClick, button);
}
void enter(QWidget* widget) {
    const QPointF at(5, 5);
    QEnterEvent event(at, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
}

// The share of pixels two pictures have in common (0 for pictures of different sizes).
double sameShare(const Canvas& a, const Canvas& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.width() == 0) return 0.0;
    long same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) same += a.pixel(x, y) == b.pixel(x, y);
    return double(same) / (double(a.width()) * a.height());
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ChartWindow : public testing::Test {
  protected:
    ChartWindow() {
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
        state_.settings.reportDir = reportDir_.path();
        (*state_.probes)[0].type = kProbeQsp720;
        (*state_.probes)[0].displayName = QStringLiteral("steady");
        form().probes().drivers().set(kProbeQsp720, &probe_);
        form().fillProbeSelectors();
        form().firstSM->setCurrentIndex(0);
    }

    TForm1& form() { return *windows_.form1; }
    TForm3& zoom() { return *windows_.form3; }
    ChartArea* area(int tag) {
        ChartArea* areas[] = {nullptr,
                              form().cieGraph,
                              form().SpectralGraph,
                              form().grayScaleGraph,
                              form().ebuColorsGraph,
                              form().rgbGraph};
        return areas[tag];
    }
    // Opens the zoom window on a chart as the operator does: over the chart, then the button.
    void zoomOn(int tag) {
        enter(area(tag));
        form().spdBtnZoomIn->click();
        QApplication::processEvents();
    }
    // The view picture the spectral area shows now: the one it has most pixels in common with.
    int shownView() const {
        int best = -1;
        double bestShare = -1.0;
        for (int view = 0; view < kSpectralViews; ++view) {
            const double share = sameShare(state_.charts.areas.SpectralGraph,
                                           state_.charts.pictures[viewPicture(view)]);
            if (share > bestShare) {
                best = view;
                bestShare = share;
            }
        }
        return best;
    }
    Settings storedSettings() const {
        Settings stored;
        loadSettings(store_, stored);
        return stored;
    }
    QStringList filesIn(const QString& pattern) const {
        return QDir(reportDir_.path()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    QTemporaryDir configHome_;
    QTemporaryDir reportDir_;
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
    SteadyProbe probe_;
};

TEST_F(ChartWindow, EachPressAndEachDoubleClickEventStepsTheSpectralPanelOnce) {
    struct Case {
        int from;
        void (*event)(QWidget*);
        int to;
    };
    const Case cases[] = {
        {0, [](QWidget* w) { press(w, Qt::RightButton); }, 5},
        {5, [](QWidget* w) { press(w, Qt::LeftButton); }, 0},
        {2, [](QWidget* w) { press(w, Qt::RightButton); }, 1},
        {3, [](QWidget* w) { press(w, Qt::MiddleButton); }, 3},
        // A double-click event is also the press it is: two steps.
        {0, [](QWidget* w) { doubleClick(w); }, 2},
        {5, [](QWidget* w) { doubleClick(w); }, 1},
        {1, [](QWidget* w) { doubleClick(w, Qt::RightButton); }, 1},
    };
    for (const Case& c : cases) {
        state_.spectralView = c.from;
        form().Timer1Timer();  // the panel shows the starting view
        ASSERT_EQ(shownView(), c.from);
        c.event(form().SpectralGraph);
        EXPECT_EQ(state_.spectralView, c.to) << "from view " << c.from;
        EXPECT_EQ(shownView(), c.to) << "from view " << c.from;
    }
}

TEST_F(ChartWindow, DoubleClicksSwitchTheDiagramAndTheRgbPanel) {
    ASSERT_FALSE(state_.xyMode);
    doubleClick(form().cieGraph);
    EXPECT_TRUE(state_.xyMode);
    EXPECT_GT(sameShare(state_.charts.areas.cieGraph, state_.charts.pictures[kDiagramXyPicture]),
              0.9);
    EXPECT_GT(sameShare(state_.charts.areas.grayScaleGraph, state_.charts.pictures[kGreyXyPicture]),
              0.9);
    doubleClick(form().cieGraph);
    EXPECT_FALSE(state_.xyMode);

    for (int expected : {1, 2, 0}) {
        doubleClick(form().rgbGraph);
        EXPECT_EQ(state_.rgbView, expected);
        EXPECT_EQ(sameShare(state_.charts.areas.rgbGraph,
                            state_.charts.pictures[gamutPicture(false, expected)]),
                  1.0);
    }
}

TEST_F(ChartWindow, BothChartButtonsSayWhatTheyDo) {
    const QImage maximise =
        form().style()->standardIcon(QStyle::SP_TitleBarMaxButton).pixmap(24).toImage();
    for (QToolButton* button : {form().spdBtnZoomIn, form().spdBtnSave}) {
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
    EXPECT_NE(form().spdBtnZoomIn->icon().pixmap(24).toImage(), maximise)
        << "zooming is not maximising the window";
}

TEST_F(ChartWindow, ButtonsFollowTheMouseFromChartToChartButNotWithinOne) {
    EXPECT_FALSE(form().spdBtnSave->isVisibleTo(&form()));
    enter(form().grayScaleGraph);  // 475, 137, 200 wide
    EXPECT_EQ(form().chartWindow().chartButtonTag(), kGreyScaleTag);
    EXPECT_TRUE(form().spdBtnSave->isVisibleTo(&form()));
    EXPECT_EQ(form().spdBtnSave->pos(), QPoint(475 + 200 - 41, 137));
    EXPECT_EQ(form().spdBtnZoomIn->pos(), QPoint(475 + 200 - 82, 137));

    form().spdBtnSave->move(1, 1);  // so that a second placing would show
    enter(form().grayScaleGraph);
    EXPECT_EQ(form().spdBtnSave->pos(), QPoint(1, 1)) << "re-placed within the same chart";

    enter(form().SpectralGraph);  // 16, 466, 440 wide
    EXPECT_EQ(form().chartWindow().chartButtonTag(), kSpectralTag);
    EXPECT_EQ(form().spdBtnSave->pos(), QPoint(16 + 440 - 41, 466));

    form().FormMouseEnter();
    EXPECT_EQ(form().chartWindow().chartButtonTag(), 0);
    EXPECT_FALSE(form().spdBtnSave->isVisibleTo(&form()));
    EXPECT_FALSE(form().spdBtnZoomIn->isVisibleTo(&form()));
    enter(form().SpectralGraph);
    EXPECT_EQ(form().spdBtnSave->pos(), QPoint(16 + 440 - 41, 466)) << "placed again after hiding";
}

TEST_F(ChartWindow, ZoomWindowKeepsTheSizeRulesOfItsChart) {
    struct Case {
        int tag;
        QSize asked;
        QSize client;
        const char* caption;
    };
    const Case cases[] = {
        {kGreyScaleTag, {800, 400}, {632, 632}, "VQS1.0 GreyscaleTolerancefielduv"},
        {kEbuColoursTag, {300, 300}, {300, 300}, "VQS1.0 EBUColorsTolerancefielduv"},
        {kCieTag, {300, 60}, {300, 100}, "VQS1.0 CIEDiagramuv"},
        {kRgbTag, {900, 300}, {900, 300}, "VQS1.0 RedTolerancefielduv"},
    };
    for (const Case& c : cases) {
        zoomOn(c.tag);
        ASSERT_TRUE(zoom().isVisible());
        zoom().resize(c.asked);
        QApplication::processEvents();
        EXPECT_EQ(zoom().size(), c.client) << c.caption;
        EXPECT_EQ(zoom().windowTitle(), c.caption);
        // The whole chart fits the client area and shows its picture.
        const Canvas* shown = zoom().PaintBox1->surface();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(QSize(shown->width(), shown->height()), c.client) << c.caption;
        EXPECT_GT(sameShare(*shown, state_.charts.zoom.picture), 0.9) << c.caption;
    }
}

TEST_F(ChartWindow, ZoomWindowRefusesOuterSizesBelow200By100) {
    EXPECT_FALSE(TForm3::FormCanResize(199, 300));
    EXPECT_FALSE(TForm3::FormCanResize(300, 99));
    EXPECT_TRUE(TForm3::FormCanResize(200, 100));
    zoomOn(kSpectralTag);
    zoom().resize(120, 50);
    QApplication::processEvents();
    EXPECT_GE(zoom().frameGeometry().width(), 200);
    EXPECT_GE(zoom().frameGeometry().height(), 100);
}

TEST_F(ChartWindow, ZoomOpensAtTheStoredPlaceAndStoresItWhenClosed) {
    state_.settings.zoomGeometry[kEbuColoursTag] = {120, 130, 400, 400};
    zoomOn(kEbuColoursTag);
    EXPECT_EQ(zoom().placement()[2], 400);
    zoom().resize(500, 300);  // becomes a square of 412
    QApplication::processEvents();
    const ZoomPlacement placed = zoom().placement();
    zoom().close();
    EXPECT_FALSE(zoom().isVisible());
    EXPECT_EQ(state_.settings.zoomGeometry[kEbuColoursTag], placed);
    EXPECT_EQ(zoom().size(), QSize(412, 412));
    EXPECT_EQ(placed[2], zoom().frameGeometry().width()) << "the outer width is kept";
    EXPECT_EQ(storedSettings().zoomGeometry[kEbuColoursTag], placed);
    EXPECT_FALSE(state_.charts.zoom.shown);
}

// The same size, another chart: there is no resize, yet the other chart must be drawn.
TEST_F(ChartWindow, ZoomOnAnotherChartOfTheSameSizeShowsThatChart) {
    zoomOn(kGreyScaleTag);
    zoomOn(kEbuColoursTag);
    EXPECT_EQ(state_.charts.zoom.name, QStringLiteral("EBUColorsTolerancefielduv"));
    EXPECT_EQ(zoom().windowTitle(), QStringLiteral("VQS1.0 EBUColorsTolerancefielduv"));
}

TEST_F(ChartWindow, ZoomOfTheSpectralPanelFollowsEveryViewIncludingDicom) {
    const char* names[] = {"SpectralgraphNarrow", "SpectralgraphWide", "Gammagraph",
                           "GammaDCgraph",        "DICOMgraph",        "DICOMDCgraph"};
    zoomOn(kSpectralTag);
    for (int view = 0; view < kSpectralViews; ++view) {
        EXPECT_EQ(state_.charts.zoom.name, QString::fromLatin1(names[view]));
        EXPECT_EQ(zoom().windowTitle(), QStringLiteral("VQS1.0 ") + names[view]);
        form().SpectralGraphDblClick();
    }
    EXPECT_EQ(state_.charts.zoom.chart.y.max, 1.0f) << "back on the narrow spectrum";
    state_.spectralView = 5;
    form().Timer1Timer();  // a refresh notices the new view as well
    EXPECT_EQ(state_.charts.zoom.name, QStringLiteral("DICOMDCgraph"));
    EXPECT_EQ(state_.charts.zoom.chart.y.min, 1.0f);
    EXPECT_EQ(state_.charts.zoom.chart.y.max, 5.0f);
}

TEST_F(ChartWindow, PictureSizeIsAskedCheckedStoredAndThePictureWritten) {
    struct Case {
        const char* what;
        int tag;
        const char* answer;
        QSize stored;
        bool written;
    };
    const Case cases[] = {
        {"EBU chart is square", kEbuColoursTag, "300,500", {400, 400}, true},
        {"too small", kEbuColoursTag, "99,500", {512, 512}, false},
        {"too large", kEbuColoursTag, "300,3000", {512, 512}, false},
        {"RGB chart as asked", kRgbTag, "300,500", {300, 500}, true},
        {"not two numbers", kCieTag, "300;500", {800, 800}, false},
        {"edges of the range", kSpectralTag, " 100 , 2048 ", {100, 2048}, true},
    };
    for (const Case& c : cases) {
        state_.settings.pictureSize = kDefaultWindowTable;
        ASSERT_TRUE(saveWindowTables(store_, state_.settings));
        const QStringList before = filesIn(QStringLiteral("*.png"));
        form().hideChartButtons();
        enter(area(c.tag));
        prompter_.answerNextInput(QString::fromLatin1(c.answer));
        press(form().spdBtnSave, Qt::RightButton);

        EXPECT_EQ(prompter_.shown().front().text,
                  QString::fromUtf8("Aufl\u00f6sung: Width and height, 100 to 2048 each\n"
                                    "Pixel,Zeilen:"));
        const auto& entry = state_.settings.pictureSize[c.tag];
        EXPECT_EQ(QSize(entry[2], entry[3]), c.stored) << c.what;
        EXPECT_EQ(storedSettings().pictureSize, state_.settings.pictureSize) << c.what;
        const QStringList after = filesIn(QStringLiteral("*.png"));
        ASSERT_EQ(after.size(), before.size() + (c.written ? 1 : 0)) << c.what;
        if (c.written) {
            EXPECT_EQ(QImage(form().chartWindow().lastPicturePath()).size(), c.stored) << c.what;
            EXPECT_EQ(prompter_.shown().size(), 1u) << "confirmed without a box: " << c.what;
            EXPECT_EQ(form().valuesStatus->text(),
                      "The picture was saved as " + form().chartWindow().lastPicturePath())
                << c.what;
        } else {
            ASSERT_EQ(prompter_.shown().size(), 2u) << "a refused size is told: " << c.what;
            EXPECT_EQ(prompter_.shown()[1].kind, PromptKind::Warning);
            EXPECT_TRUE(prompter_.shown()[1].text.contains("from 100 to 2048")) << c.what;
        }
        prompter_ = test::ScriptedPrompter();
    }
}

TEST_F(ChartWindow, SaveClickWritesTheSpectrumAndTheNextReadingIsLogged) {
    form().Timer1Timer();  // a reading with a spectrum of 401 values
    Tsmlist& probe = (*state_.probes)[0];
    probe.sampleCount = 3;
    probe.wavelength[0] = 400;
    probe.wavelength[1] = 500;
    probe.wavelength[2] = 600;

    form().spdBtnSaveClick();
    EXPECT_TRUE(form().probes().logNextMeasurement());
    const QStringList spectra = filesIn(QStringLiteral("SPECTRUM_*.txt"));
    ASSERT_EQ(spectra.size(), 1);
    const QList<QByteArray> lines = contents(reportDir_.filePath(spectra[0])).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], "380,780\r");
    EXPECT_EQ(lines[2].count(','), 400);

    const std::array<float, 3> values{1.0f, 2.0f, 3.0f};
    form().probes().logMeasurement(0, 0.0f, 0.0f, 0.0f, values);
    const QStringList logs = filesIn(QStringLiteral("LOGFILE_steady_*.txt"));
    ASSERT_EQ(logs.size(), 1);
    const QByteArray log = contents(reportDir_.filePath(logs[0]));
    EXPECT_TRUE(log.contains("\r\n400.0 500.0 600.0 \r\n"));
    EXPECT_TRUE(
        log.endsWith(" 0.000000 0.000000 0.000000 0.000000 0.000000 1.000000 2.000000 "
                     "3.000000 \r\n"));
    EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(ChartWindow, ALogThatCannotBeWrittenIsToldAfterTheTick) {
    state_.settings.reportDir = reportDir_.filePath(QStringLiteral("gone"));
    form().spdBtnSaveClick();
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shown()[0].text.contains(QStringLiteral("SPECTRUM_")));
    form().probes().logMeasurement(0, 1, 1, 1, {});
    EXPECT_EQ(prompter_.shown().size(), 1u) << "no message box inside the measurement tick";
    QApplication::processEvents();
    ASSERT_EQ(prompter_.shown().size(), 2u);
    EXPECT_TRUE(prompter_.shown()[1].text.contains(QStringLiteral("LOGFILE_steady_")));
}

}  // namespace
}  // namespace vqs
