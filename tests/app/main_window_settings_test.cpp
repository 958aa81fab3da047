#include "app/application.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

namespace vqs {
namespace {

// Whole program lifetimes, start-up to close, over one scratch store.
class MainWindowSettings : public testing::Test {
protected:
    ~MainWindowSettings() override { QDir::setCurrent(startDir_); }

    TForm1& start() {
        state_ = std::make_unique<AppState>();
        windows_ = createWindows(*state_, services_);
        return *windows_.form1;
    }

    void close() {
        windows_.form1->close();
        windows_ = Windows{};
    }

    std::optional<QString> storedText(const char* name) {
        return store_.readText(settingKey(name), settingValueName(name));
    }

    const QString startDir_ = QDir::currentPath();
    QTemporaryDir configHome_;
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2016, 10, 13), QTime(9, 30)};
    AppServices services_{prompter_, clock_, store_};
    std::unique_ptr<AppState> state_;
    Windows windows_;
};

TEST_F(MainWindowSettings, AnUntouchedFirstRunStoresTheDefaultsAndTheNextStartReadsThemBack) {
    QTemporaryDir firstDir, secondDir;
    QDir::setCurrent(firstDir.path());
    const QString firstPath = QDir::currentPath();
    start();
    close();

    EXPECT_EQ(
        store_.readInt(settingKey("REGISTRYACCESSCHECK"), settingValueName("REGISTRYACCESSCHECK")),
        1);
    EXPECT_EQ(storedText("REPORTFILESDIR"), firstPath);
    EXPECT_EQ(storedText("COMNO"), "0");
    EXPECT_EQ(storedText("NETWORKIP"), "192.168.0.255");
    EXPECT_EQ(storedText("TARGETGAMMA"), "2.35");
    const int32_t pattern[] = {100, 100, 200, 200};
    for (int n = 0; n < 4; ++n) {
        const QString name = QStringLiteral("TP_POSITION_%1").arg(n);
        EXPECT_EQ(store_.readInt(settingKey(name), settingValueName(name)), pattern[n]) << n;
    }

    // The report directory defaults to the current one: a second start elsewhere shows the
    // stored one.
    QDir::setCurrent(secondDir.path());
    TForm1& second = start();
    EXPECT_EQ(second.editWorkingDir->text(), firstPath);
    EXPECT_EQ(state_->settings.reportDir, firstPath);
    EXPECT_EQ(second.editComNr->text(), "0");
    EXPECT_EQ(second.editNetworkIP->text(), "192.168.0.255");
    EXPECT_EQ(second.targetGamma->currentText(), "2.35");
    EXPECT_EQ(state_->settings.patternGeometry, (std::array<int32_t, 4>{100, 100, 200, 200}));
    close();
}

TEST_F(MainWindowSettings, StoredValuesAreShownAndAnUnknownGammaSelectsNothing) {
    struct Case {
        const char* gamma;
        int shownIndex;
    };
    for (const Case& c : {Case{"2.5", -1}, Case{"DICOM", 4}, Case{"1.8", 0}}) {
        ASSERT_TRUE(
            store_.writeText(settingKey("TARGETGAMMA"), settingValueName("TARGETGAMMA"), c.gamma));
        ASSERT_TRUE(
            store_.writeText(settingKey("NETWORKIP"), settingValueName("NETWORKIP"), "127.0.0.1"));
        TForm1& form = start();
        EXPECT_EQ(form.targetGamma->currentIndex(), c.shownIndex) << c.gamma;
        EXPECT_EQ(state_->settings.targetGamma, c.gamma);
        EXPECT_EQ(form.editNetworkIP->text(), "127.0.0.1");
        close();
        EXPECT_EQ(storedText("TARGETGAMMA"), c.gamma) << "the setting keeps its text";
    }
}

TEST_F(MainWindowSettings, ClosingKeepsTheCalibrationFilesOfSpectrometers) {
    start();
    ProbeList& probes = *state_->probes;
    probes[0].type = 3;
    probes[0].serialNumber = "CS1";
    probes[0].calFilePath = "/cal/not-a-spectrometer.cal";
    probes[2].type = 1;
    probes[2].serialNumber = "QS7";
    probes[2].calFilePath = "/cal/qs7.cal";
    close();
    EXPECT_EQ(storedText("PROBE_1_QS7_CALFILE"), "/cal/qs7.cal");
    EXPECT_EQ(storedText("PROBE_3_CS1_CALFILE"), std::nullopt);
}

}  // namespace
}  // namespace vqs
