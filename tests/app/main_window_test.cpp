#include "app/application.h"
#include "app/dark_theme.h"
#include "app/eliding_combo_box.h"
#include "app/patch_list.h"
#include "app/qt_prompter.h"
#include "colour/colour_conversion.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/scripted_prompter.h"

#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <csignal>

namespace vqs {
namespace {

class MainWindow : public testing::Test {
protected:
    MainWindow() : clock_(QDate(2016, 10, 13), QTime(9, 30)) {
        windows_ = createWindows(state_, services_);
    }

    TForm1& form() { return *windows_.form1; }

    template <typename T = QWidget>
    T* control(const char* name) {
        return form().findChild<T*>(QString::fromLatin1(name));
    }

    QString text(const char* name) {
        if (auto* l = control<QLabel>(name)) return l->text();
        if (auto* b = control<QAbstractButton>(name)) return b->text();
        if (auto* e = control<QLineEdit>(name)) return e->text();
        if (auto* c = control<QComboBox>(name)) return c->currentText();
        ADD_FAILURE() << "no control " << name;
        return {};
    }

    void clickSlot(int slot) {
        PatchListWidget* list = form().colorsgsgroup;
        const QRect rect = list->visualItemRect(list->item(slot));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void wheel(int steps) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), {}, QPoint(0, 120 * steps),
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&form(), &event);
    }

    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_;
    QTemporaryDir configHome_;  // an empty store: every start is a first start
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
};

TEST_F(MainWindow, EveryControlExistsWithItsInitialText) {
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"Label6", "xy CCT"}, {"Label2", "u'v'"}, {"Label1", "XYZ"},
        {"Label15", "1."}, {"Label16", "2."},
        {"_targetx", ""}, {"_targety", ""}, {"_targetcct", ""}, {"_targetu", ""},
        {"_targetv", ""}, {"_ValuesStatus", ""}, {"_grygrading", ""}, {"_ebucolgrading", ""},
        {"commonmsg", ""},
        {"btnStore", "Capture"}, {"storeAll", "Capture All"}, {"Button2", "Show Pattern"},
        {"storeGreyscales", "Capture DICOM"}, {"Label13", "Color/Greyscale Selector"},
        {"Label7", "Colori/Spectrometer"}, {"Label17", "Brightness Range"},
        {"firstSMRange", "Auto"}, {"scndSMRange", "Auto"},
        {"firstSMdark", "CalScan"}, {"secondSMDark", "CalScan"},
        {"Label5", "Local Report Directory"}, {"Label9", "COM"}, {"Label10", "Network-IP"},
        {"btnSave", "Save(To File)"}, {"btnDownstream", "Save(To Monitor)"},
        {"btnPrint", "Print"}, {"btnClear", "New"},
        {"Label4", "SN/ID"}, {"Label3", "Monitor"}, {"Label12", "Gamma"},
        {"Label14", "Devicelist"}, {"editDevsnid", ""}, {"editDevname", ""},
    };
    for (const auto& [name, initial] : expected) EXPECT_EQ(text(name), initial) << name;

    for (const char* suffix : {"", "2"})
        for (const char* base : {"_xyCCT_xvalue", "_xyCCT_yvalue", "_xyCCT_CCTvalue", "_UV_uvalue",
                                 "_UV_vvalue", "_XYZ_Xvalue", "_XYZ_Yvalue", "_XYZ_Zvalue"})
            EXPECT_NE(control<QLabel>((QByteArray(base) + suffix).constData()), nullptr)
                << base << suffix;
    for (const char* name : {"cieGraph", "SpectralGraph", "grayScaleGraph", "ebuColorsGraph",
                             "rgbGraph", "spdBtnZoomIn", "spdBtnSave", "Panel1", "Panel2",
                             "colorsgsgroup", "firstSM", "scndSM", "editWorkingDir", "editComNr",
                             "editNetworkIP", "targetGamma", "StringGrid1"})
        EXPECT_NE(control(name), nullptr) << name;

    // The hints as they have always read, followed by the command's key.
    EXPECT_EQ(control("btnStore")->toolTip(), "Speichert den aktuellen Meßwert (F5)");
    EXPECT_EQ(control("btnSave")->toolTip(), "Speichert alle Meßwerte in eine Datei. (Ctrl+S)");
    EXPECT_EQ(control("cieGraph")->geometry(), QRect(16, 8, 440, 440));
    EXPECT_EQ(control("StringGrid1")->geometry(), QRect(939, 356, 313, 350));
    EXPECT_EQ(control("colorsgsgroup")->parentWidget(), control("Panel1"));
    EXPECT_EQ(control("btnPrint")->parentWidget(), control("Panel2"));
    EXPECT_FALSE(control("spdBtnZoomIn")->isVisibleTo(&form()));

    const QStringList secondRanges = {"Auto", "Bright", "Norma", "Mediuml", "Dark"};
    auto* range = control<QComboBox>("scndSMRange");
    for (int i = 0; i < secondRanges.size(); ++i) EXPECT_EQ(range->itemText(i), secondRanges[i]);
}

// A field too narrow for its value scrolls it: showing its end then moves the text, and the
// operator reads another address than the one in the field.
TEST_F(MainWindow, ConnectionFieldsShowTheirLongestValuesWhole) {
    const std::pair<const char*, QString> longest[] = {{"editNetworkIP", "255.255.255.255"},
                                                       {"editNetworkIP", "127.255.255.255"},
                                                       {"editComNr", "255"}};
    form().show();
    for (const auto& [name, value] : longest) {
        auto* field = control<QLineEdit>(name);
        field->setText(value);
        field->setCursorPosition(0);
        const QImage fromStart = field->grab().toImage();
        field->setCursorPosition(value.size());
        EXPECT_EQ(field->grab().toImage(), fromStart) << name << " scrolls " << value.toStdString();
    }
    const QRect dir = control("editWorkingDir")->geometry();
    const QRect com = control("editComNr")->geometry();
    const QRect ip = control("editNetworkIP")->geometry();
    EXPECT_LT(dir.right(), com.left());
    EXPECT_LT(com.right(), ip.left());
    EXPECT_LE(ip.right(), control("Panel2")->width() - 1) << "inside the panel";
}

TEST_F(MainWindow, FirstStartShowsTheDefaults) {
    EXPECT_EQ(form().windowTitle(), "Norvale - VQS 1.0  Lumiquest");
    EXPECT_EQ(text("editWorkingDir"), QDir::currentPath());
    EXPECT_EQ(text("editComNr"), "0");
    EXPECT_EQ(text("editNetworkIP"), "192.168.0.255");
    EXPECT_EQ(text("targetGamma"), "2.35");
    EXPECT_EQ(text("_BuildNumber"), "Build: Beta 1.0.6230.1");
    EXPECT_EQ(form().selectedSlot(), kStartSlot);

    auto* second = control<QComboBox>("scndSM");
    EXPECT_EQ(second->count(), 1);
    EXPECT_EQ(second->currentText(), "none");
    EXPECT_EQ(control<QComboBox>("firstSM")->count(), 0);
    EXPECT_FALSE(control("firstSMRange")->isEnabled());
    EXPECT_FALSE(control("firstSMdark")->isEnabled());

    EXPECT_TRUE(form().Timer1->isActive());
    EXPECT_EQ(form().Timer1->interval(), 100);
    EXPECT_TRUE(form().Timer2->isActive());
    EXPECT_EQ(form().Timer2->interval(), 1000);

    EXPECT_EQ(windows_.form2->windowTitle(), "Testpattern");
    EXPECT_EQ(windows_.form3->windowTitle(), "Form3");
    EXPECT_FALSE(windows_.form2->isVisible());
    EXPECT_FALSE(windows_.form3->isVisible());
}

TEST_F(MainWindow, StartupRunsItsStepsInOrderAndEnablesTheTimersLast) {
    const QStringList expected = {"resetQsp720LibraryState", "loadSettings", "createCharts",
                                  "scanReportDir", "fillDeviceGrid", "markLinkClosed",
                                  "takeOverComNumber", "resetProbeList", "openProbeDrivers",
                                  "fillProbeSelectors", "fillPatchList", "showBuildNumber",
                                  "startCs2000Search", "updateProbeControls(0)",
                                  "updateProbeControls(1)", "enableTimers"};
    EXPECT_EQ(form().stepTrace(), expected);
}

TEST_F(MainWindow, PatchListHoldsEveryPatchWithItsSwatch) {
    PatchListWidget* list = form().colorsgsgroup;
    ASSERT_EQ(list->count(), kPatchSlots);
    for (int slot = 0; slot < kPatchSlots; ++slot)
        EXPECT_EQ(list->item(slot)->text(), state_.targets[slot].name) << slot;
    EXPECT_EQ(list->item(38)->text(), "EBU14 - Medium Yello Red");
    EXPECT_EQ(list->item(0)->data(Qt::DecorationRole).value<QColor>(), QColor(224, 96, 0));
    EXPECT_EQ(list->item(32)->data(Qt::DecorationRole).value<QColor>(), QColor(201, 92, 90));
    EXPECT_EQ(list->visualItemRect(list->item(1)).height(), PatchListWidget::kItemHeight);
}

TEST_F(MainWindow, UpdatingLabelsAppendsValuesAndSparesTheTwoCommandEntries) {
    PatchListWidget* list = form().colorsgsgroup;
    state_.workingReport.xyz[38] = {40.0f, 43.5f, 20.0f};
    form().updatePatchLabels(38);
    EXPECT_TRUE(list->item(38)->text().startsWith("EBU14 - Medium Yellow Red  ("));
    EXPECT_EQ(list->item(37)->text(), "EBU13 - Dark Blue");

    for (int all : {0, -1}) {
        form().fillPatchList();
        form().updatePatchLabels(all);
        EXPECT_EQ(list->item(0)->text(), "Start Measurment");
        EXPECT_EQ(list->item(40)->text(), "Stop (Show All)");
        EXPECT_EQ(list->item(1)->text(), "Red  (0.000 / 0.000 / 0.0)");
        EXPECT_EQ(list->item(61)->text(), "DICOM0  (0.000 / 0.000 / 0.0)");
    }
    form().updatePatchLabels(40);
    EXPECT_EQ(list->item(40)->text(), "Stop (Show All)");
}

TEST_F(MainWindow, ReadoutsShowBothProbesInTheirFormats) {
    state_.probe1.X = 95.047f;
    state_.probe1.Y = 100.0f;
    state_.probe1.Z = 108.883f;
    convertReading(state_.probe1);
    form().showFirstReading();
    const std::vector<std::pair<const char*, const char*>> first = {
        {"_XYZ_Xvalue", "95.0"},    {"_XYZ_Yvalue", "100.0"},   {"_XYZ_Zvalue", "108.9"},
        {"_xyCCT_xvalue", "0.3127"}, {"_xyCCT_yvalue", "0.3290"}, {"_xyCCT_CCTvalue", "6502"},
        {"_UV_uvalue", "0.1978"},    {"_UV_vvalue", "0.4683"}};
    for (const auto& [name, shown] : first) EXPECT_EQ(text(name), shown) << name;

    state_.probe2.Y = 123456.0f;
    convertReading(state_.probe2);
    form().showSecondReading();
    EXPECT_EQ(text("_XYZ_Yvalue2"), "1.2346E+05");
    EXPECT_EQ(text("_XYZ_Xvalue2"), "0.0");
    EXPECT_EQ(text("_xyCCT_xvalue2"), "0.0000");
    EXPECT_EQ(text("_UV_vvalue2"), "0.6000");
}

TEST_F(MainWindow, ClickingAPatchShowsItsTargets) {
    clickSlot(25);
    EXPECT_EQ(form().selectedSlot(), 25);
    EXPECT_EQ(text("_targetx"), "0.4145");
    EXPECT_EQ(text("_targety"), "0.3651");
    EXPECT_EQ(text("_targetu"), "0.2530");
    EXPECT_EQ(text("_targetv"), "0.5015");
    EXPECT_EQ(text("_targetcct"), "3094");

    clickSlot(5);
    EXPECT_EQ(text("_targetu"), "0.1978");
    EXPECT_EQ(text("_targetv"), "0.4683");
    EXPECT_EQ(text("_targetcct"), "6504");
}

TEST_F(MainWindow, TheWheelMovesTheSelectionOnlyWhileTheListHasTheFocus) {
    form().show();
    QApplication::setActiveWindow(&form());
    form().editDevname->setFocus();
    wheel(-1);
    EXPECT_EQ(form().selectedSlot(), 0) << "wheel without focus on the list";

    form().colorsgsgroup->setFocus();
    ASSERT_TRUE(state_.listHasFocus);
    wheel(-1);
    EXPECT_EQ(form().selectedSlot(), 1);
    EXPECT_EQ(text("_targetx"), "0.6400") << "a wheel move reacts like a click";
    wheel(+1);
    wheel(+1);
    EXPECT_EQ(form().selectedSlot(), 0) << "wheel up stops at slot 0";

    form().selectSlot(39);
    wheel(-1);
    EXPECT_EQ(form().selectedSlot(), 40) << "the wheel passes through slot 40";
    form().selectSlot(61);
    form().targetx->clear();
    wheel(-1);
    EXPECT_EQ(form().selectedSlot(), 61);
    EXPECT_EQ(text("_targetx"), "") << "no reaction at the end of the list";

    form().editDevname->setFocus();
    EXPECT_FALSE(state_.listHasFocus);
}

TEST_F(MainWindow, TargetGammaSelectionFollowsTheSettingText) {
    state_.settings.targetGamma = "DICOM";
    form().selectTargetGammaItem();
    EXPECT_EQ(text("targetGamma"), "DICOM");
    state_.settings.targetGamma = "2.5";
    form().selectTargetGammaItem();
    EXPECT_EQ(text("targetGamma"), "DICOM") << "an unknown text leaves the selection as it was";
    EXPECT_EQ(state_.settings.targetGamma, "2.5");
}

TEST_F(MainWindow, ClosingRunsTheShutdownInOrderOnce) {
    const int startupSteps = form().stepTrace().size();
    form().close();
    const QStringList shutdown = form().stepTrace().mid(startupSteps);
    const QStringList expected = {"stopTimers", "saveSettings", "closeLink", "releaseCs2000",
                                  "disconnectMonitors", "closeQsp720", "closeJeti"};
    EXPECT_EQ(shutdown, expected);
    EXPECT_FALSE(form().Timer1->isActive());
    EXPECT_FALSE(form().Timer2->isActive());
    form().FormClose();
    EXPECT_EQ(form().stepTrace().size(), startupSteps + expected.size());
}

TEST_F(MainWindow, TerminationSignalClosesInOrder) {
    form().show();
    closeOnTerminationSignals(form());
    std::raise(SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(form().stepTrace().contains("closeJeti"), 2000);
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainWindow, ClosingEndsTheProgramWithTheTestPatternAndZoomWindowsOpen) {
    form().show();
    windows_.form2->showPatch(Qt::red);
    windows_.form3->show();
    QTimer::singleShot(0, &form(), [this] { form().close(); });
    QTimer stillRunning;  // a failure, ended after a while
    stillRunning.setSingleShot(true);
    QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stillRunning.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(form().stepTrace().contains("closeJeti"));
    EXPECT_FALSE(windows_.form2->isVisible()) << "the pattern leaves the monitor under test";
    EXPECT_FALSE(windows_.form3->isVisible());
}

TEST_F(MainWindow, KeepsItsDesignSizeAndRoomForItsTexts) {
    form().resize(640, 480);
    EXPECT_EQ(form().size(), QSize(1279, 756)) << "controls at fixed places are never clipped";

    const QStringList names = {"KM CS-2000 - SN100012345", "JETI SPECBOS 1211 - SN12345678",
                               "NV QSP720 - SN12345678"};
    for (int row = 0; row < names.size(); ++row) {
        (*state_.probes)[row].type = kProbeCs2000;
        (*state_.probes)[row].displayName = names[row];
    }
    form().fillProbeSelectors();
    auto* list = qobject_cast<ElidingComboBox*>(form().firstSM);
    ASSERT_NE(list, nullptr);
    for (int row = 0; row < names.size(); ++row) {
        list->setCurrentIndex(row);
        const QString serial = names[row].section(QLatin1Char(' '), -1);
        EXPECT_TRUE(list->shownText().endsWith(serial)) << list->shownText().toStdString();
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(list, &hover);
        EXPECT_EQ(QToolTip::text(), names[row]) << "the whole name on hovering";
    }
}

TEST_F(MainWindow, MessageBoxesAreDarkLikeTheProgram) {
    const QPalette before = QApplication::palette();
    applyDarkTheme(*qApp);
    QtPrompter prompter;
    prompter.setParentWindow(&form());
    QColor background;
    QTimer::singleShot(0, [&background] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        background = box->palette().color(QPalette::Window);
        box->close();
    });
    prompter.message(PromptKind::Information, QStringLiteral("Done"), PromptButtons::Ok);
    QApplication::setPalette(before);
    EXPECT_EQ(background, QColor(32, 32, 32));
}

TEST_F(MainWindow, HelpRequestsAreHandledQuietly) {
    EXPECT_TRUE(form().FormHelp());
    EXPECT_TRUE(prompter_.shown().empty());
}

}  // namespace
}  // namespace vqs
