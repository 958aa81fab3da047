// The charts on the main window: painted from their pictures at start and following readings.

#include "app/application.h"
#include "app/chart_area.h"
#include "charts/chart_set.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <QTimer>

namespace vqs {
namespace {

// Delivers one reading of the given tristimulus values with a flat spectrum on every poll.
class SteadyProbe final : public ProbeDriver {
  public:
    bool open() override { return false; }
    int poll(int, float& outX, float& outY, float& outZ, Tsprad& spectrum) override {
        outX = X;
        outY = Y;
        outZ = Z;
        spectrum.firstWavelength = 380;
        spectrum.lastWavelength = 780;
        spectrum.count = 401;
        spectrum.values.fill(1.0f);
        return 1;
    }
    void release(int) override {}
    void close() override {}

    float X = 95.047f;  // D65
    float Y = 100.0f;
    float Z = 108.883f;
};

class MainWindowCharts : public testing::Test {
  protected:
    MainWindowCharts() {
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
        (*state_.probes)[0].type = kProbeQsp720;
        (*state_.probes)[0].displayName = QStringLiteral("steady");
        form().probes().drivers().set(kProbeQsp720, &probe_);
        form().fillProbeSelectors();
        form().firstSM->setCurrentIndex(0);
    }

    TForm1& form() { return *windows_.form1; }
    // What the widget shows on screen.
    static QRgb shown(ChartArea* area, int x, int y) {
        return area->grab().toImage().pixel(x, y) | 0xff000000u;
    }
    QRgb picture(int index, int x, int y) const {
        return state_.charts.pictures[index].pixel(x, y);
    }

    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    QTemporaryDir configHome_;
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
    SteadyProbe probe_;
};

TEST_F(MainWindowCharts, AtStartEachAreaShowsItsPictureForTheCurrentSelection) {
    struct Case {
        const char* area;
        ChartArea* widget;
        int picture;
        QPoint probe;
    };
    const Case cases[] = {
        {"cieGraph", form().cieGraph, kDiagramUvPicture, {200, 120}},
        {"SpectralGraph", form().SpectralGraph, viewPicture(0), {200, 120}},
        {"grayScaleGraph", form().grayScaleGraph, kGreyUvPicture, {82, 113}},
        {"ebuColorsGraph", form().ebuColorsGraph, kEbuUvPicture, {98, 102}},
        {"rgbGraph", form().rgbGraph, kGamutUvPicture, {100, 50}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.widget->objectName(), c.area);
        EXPECT_EQ(shown(c.widget, c.probe.x(), c.probe.y()),
                  picture(c.picture, c.probe.x(), c.probe.y()))
            << c.area;
        EXPECT_EQ(shown(c.widget, 0, 0), qRgb(255, 255, 255)) << c.area << ": frame";
    }
}

TEST_F(MainWindowCharts, AReadingAtD65IsMarkedOnTheGreyPanelWithItsSpectrum) {
    form().Timer1Timer();
    EXPECT_EQ(shown(form().grayScaleGraph, 82, 113), qRgb(255, 255, 255)) << "Grey20 marker";
    EXPECT_NE(picture(kGreyUvPicture, 82, 113), qRgb(255, 255, 255));
    EXPECT_EQ(shown(form().SpectralGraph, 200, 20), qRgb(255, 255, 255)) << "flat spectrum on top";
}

TEST_F(MainWindowCharts, AReadingOnBlueSwitchesTheRgbPanel) {
    probe_.X = 18.05f;  // the blue primary
    probe_.Y = 7.22f;
    probe_.Z = 95.05f;
    form().Timer1Timer();
    EXPECT_EQ(state_.rgbView, 2);
    EXPECT_EQ(shown(form().rgbGraph, 1, 1), qRgb(0, 0, 128));
}

}  // namespace
}  // namespace vqs
