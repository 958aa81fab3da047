// The QSP720 driver over a scripted library table: detection, opening, the poll's accumulation,
// range changes and discarded results, calibration scans, release and close.

#include "probes/qsp720_driver.h"
#include "probes/qsp720_processing.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vqs {
namespace {

// The scripted library: one instance at a time, reached by the table's plain functions.
struct ScriptedLibrary {
    int devices = 1;
    std::array<uint8_t, kQsp720MemoryBytes> memory{};
    int readableBlocks = 8;
    bool scansFinish = true;
    float counts = 1000.0f;
    int unlitRate = 0;  // scans at this integration time see no light
    std::vector<int> rates;
    int updates = 0, extraRates = 0, closes = 0;

    ScriptedLibrary() {
        std::memset(memory.data() + 32, ' ', 64);
        std::memcpy(memory.data() + 32, "QSP720 #AB12CD34", 16);
        auto text = [this](int address, const char* value) {
            std::memset(memory.data() + address, ' ', 32);
            std::memcpy(memory.data() + address, value, std::strlen(value));
        };
        text(128, "0.5");
        text(160, "0");
        text(192, "350.5");
    }
};
ScriptedLibrary* library = nullptr;

Qsp720Functions scriptedFunctions() {
    Qsp720Functions f;
    f.SWDinit = [] { return 1; };
    f.SWDdevcnt = [] { return library->devices; };
    f.SWDeeRead = [](int16_t, int address, uint8_t* block) {
        if (address / kQsp720MemoryBlock >= library->readableBlocks) return 0;
        std::memcpy(block, library->memory.data() + address, kQsp720MemoryBlock);
        return 1;
    };
    f.SWDrate = [](int ms) {
        library->rates.push_back(ms);
        return 1;
    };
    f.SWDupdate = [](int, int, int) { return ++library->updates; };
    f.SWDxtrate = [](int) { return ++library->extraRates; };
    f.SWDscanLV = [](int, float* buffer) {
        if (!library->scansFinish) return 1;
        const bool unlit = !library->rates.empty() && library->rates.back() == library->unlitRate;
        std::fill(buffer, buffer + kQsp720ScanValues, unlit ? 0.0f : library->counts);
        return 0;
    };
    f.SWDclose = [] { return ++library->closes; };
    return f;
}

class Qsp720DriverTest : public testing::Test {
  protected:
    Qsp720DriverTest() {
        library = &script_;
        resetProbeList(probes_);
    }
    ~Qsp720DriverTest() override { library = nullptr; }

    Qsp720Driver::Hooks hooks() {
        Qsp720Driver::Hooks h;
        h.loadStoredData = [this](Tsmlist& probe) {
            ++loads_;
            probe.calFilePath = "/nonexistent/probe.cal";
        };
        h.saveRangeFactors = [this](const Tsmlist&) { ++factorSaves_; };
        h.scanComplete = [this] { ++scansCompleted_; };
        h.scanDoubtful = [this](const QString& question) { questions_ << question; };
        h.tell = [this](const QString& text) { told_ << text; };
        h.logMeasurement = [this](int, float, float, float, std::span<const float> pixels) {
            loggedPixels_ = static_cast<int>(pixels.size());
        };
        return h;
    }

    bool openScripted() {
        if (!driver_.detect(scriptedFunctions())) return false;
        driver_.openQsp720Devices();
        return true;
    }

    // The poll results until one is nonzero (at most `limit` polls): their number and the last.
    int pollUntilResult(int limit = 40) {
        for (int poll = 1; poll <= limit; ++poll)
            if (driver_.poll(0, X_, Y_, Z_, spectrum_) != 0) return poll;
        return 0;
    }

    ScriptedLibrary script_;
    ProbeList probes_;
    bool logNext_ = false;
    int loads_ = 0, factorSaves_ = 0, loggedPixels_ = 0, scansCompleted_ = 0;
    QStringList questions_, told_;
    Qsp720Driver driver_{probes_, logNext_, hooks()};
    float X_ = 0, Y_ = 0, Z_ = 0;
    Tsprad spectrum_;
};

struct DetectionCase {
    const char* what;
    int devices;
    int readableBlocks;
    uint8_t byteAt40;
    bool withInit;
    bool detected;
};

class Qsp720Detection : public Qsp720DriverTest,
                        public testing::WithParamInterface<DetectionCase> {};

TEST_P(Qsp720Detection, NeedsAPrintableFirstDevice) {
    const DetectionCase& c = GetParam();
    script_.devices = c.devices;
    script_.readableBlocks = c.readableBlocks;
    script_.memory[40] = c.byteAt40;
    Qsp720Functions f = scriptedFunctions();
    if (!c.withInit) f.SWDinit = nullptr;
    EXPECT_EQ(driver_.detect(f), c.detected);
    EXPECT_EQ(script_.closes, c.detected || !c.withInit ? 0 : 1)
        << "a failed detection closes the library it started; one without all its exports is "
           "never called";
    EXPECT_EQ(driver_.libraryState(), kQsp720LibraryClosed);
}

INSTANTIATE_TEST_SUITE_P(Qsp720, Qsp720Detection,
                         testing::Values(DetectionCase{"a device", 1, 8, 'x', true, true},
                                         DetectionCase{"no device", 0, 8, 'x', true, false},
                                         DetectionCase{"a control byte", 1, 8, 0x1F, true, false},
                                         DetectionCase{"byte 0x80 is text", 1, 8, 0x80, true, true},
                                         DetectionCase{"byte 0x81 is not", 1, 8, 0x81, true, false},
                                         DetectionCase{"identity unread", 1, 2, 'x', true, false},
                                         DetectionCase{"no SWDinit", 1, 8, 'x', false, false}),
                         test::CaseName{});

TEST_F(Qsp720DriverTest, OpensEachDeviceFromItsMemory) {
    script_.devices = 2;
    ASSERT_TRUE(openScripted());
    for (int row : {0, 1}) {
        const Tsmlist& probe = probes_[row];
        EXPECT_EQ(probe.type, kProbeQsp720);
        EXPECT_EQ(probe.deviceNumber, row + 1);
        EXPECT_EQ(probe.serialNumber, "AB12CD34");
        EXPECT_EQ(probe.displayName, "NV QSP720 - SNAB12CD34");
        EXPECT_EQ(probe.userRange, 2);
        EXPECT_EQ(probe.range, 0);
        EXPECT_FLOAT_EQ(probe.wavelength[1], 350.75f);
        EXPECT_EQ(probe.calStatus, "NO CAL FILE");
    }
    EXPECT_EQ(loads_, 2) << "each probe's stored data is loaded";
    EXPECT_EQ(script_.rates, (std::vector<int>{400, 400}));
    EXPECT_EQ(script_.updates, 2);
    EXPECT_EQ(script_.extraRates, 2);
    EXPECT_EQ(driver_.libraryState(), kQsp720DevicesOpen);
}

TEST_F(Qsp720DriverTest, AMemoryWithoutHashGivesAnEntryWithoutName) {
    std::memset(script_.memory.data() + 32, ' ', 64);
    ASSERT_TRUE(openScripted());
    EXPECT_EQ(probes_[0].type, kProbeQsp720);
    EXPECT_EQ(probes_[0].serialNumber, "");
    EXPECT_EQ(probes_[0].displayName, "");
}

TEST_F(Qsp720DriverTest, AFullListTakesNoMoreDevices) {
    script_.devices = 1000000;
    ASSERT_TRUE(openScripted());
    EXPECT_EQ(findFreeProbeRow(probes_), -1);
}

TEST_F(Qsp720DriverTest, PollingBeforeOpeningGivesZero) {
    X_ = Y_ = Z_ = 5.0f;
    EXPECT_EQ(driver_.poll(0, X_, Y_, Z_, spectrum_), 0);
    EXPECT_EQ(Y_, 0.0f);
}

TEST_F(Qsp720DriverTest, AChangeOfRangeIsAnnouncedAndItsNextResultDiscarded) {
    ASSERT_TRUE(openScripted());
    // From the opening state to Normal: one scan, then the announcement.
    EXPECT_EQ(driver_.poll(0, X_, Y_, Z_, spectrum_), 0);
    EXPECT_EQ(spectrum_.label, "Change to: 100ms");
    EXPECT_EQ(probes_[0].range, 2);
    EXPECT_EQ(script_.rates.back(), 100);
    // Four scans make a result, the first one after a change is discarded.
    EXPECT_EQ(pollUntilResult(), 8);
    EXPECT_EQ(spectrum_.label, "100ms");
    EXPECT_EQ(pollUntilResult(), 4);

    script_.scansFinish = false;  // integrating: nothing to collect
    EXPECT_EQ(pollUntilResult(10), 0);
}

TEST_F(Qsp720DriverTest, ABrightnessScanNeitherScalesNorDiscards) {
    ASSERT_TRUE(openScripted());
    Tsmlist& probe = probes_[0];
    probe.rangeFactor = {1, 5, 5, 5, 5, 1};
    pollUntilResult();
    ASSERT_GT(pollUntilResult(), 0);
    const float scaled = Y_;

    driver_.setCalScanStep(kBrightnessScanStart);
    EXPECT_EQ(pollUntilResult(), 4) << "a result at Normal, returned at once";
    EXPECT_FLOAT_EQ(Y_, scaled / 5.0f);
    EXPECT_EQ(spectrum_.label, "Change to: 2400ms");
    EXPECT_EQ(pollUntilResult(), 2) << "Dark averages one scan, plus one after the change";
    int results = 2;
    while (driver_.calScanStep() != 0 && results < 20) {
        ASSERT_GT(pollUntilResult(), 0);
        ++results;
    }
    EXPECT_EQ(results, 9);
    EXPECT_EQ(factorSaves_, 1);
}

TEST_F(Qsp720DriverTest, TheNextResultIsLoggedWithItsPixels) {
    ASSERT_TRUE(openScripted());
    logNext_ = true;
    driver_.poll(0, X_, Y_, Z_, spectrum_);
    EXPECT_EQ(loggedPixels_, kQsp720Pixels);
    EXPECT_FALSE(logNext_);
}

TEST_F(Qsp720DriverTest, ReleaseCollectsAFinishedScanAndCloseFreesTheRows) {
    ASSERT_TRUE(openScripted());
    driver_.poll(0, X_, Y_, Z_, spectrum_);
    EXPECT_EQ(driver_.libraryState(), kQsp720ScanRequested);
    driver_.release(0);
    EXPECT_EQ(driver_.libraryState(), kQsp720DevicesOpen);

    driver_.close();
    EXPECT_EQ(probes_[0].type, kProbeFree);
    EXPECT_EQ(script_.closes, 1);
    EXPECT_EQ(driver_.libraryState(), kQsp720LibraryClosed);
    driver_.close();
    EXPECT_EQ(script_.closes, 1) << "a closed library is not closed again";
}

// A brightness scan in which a range saw nothing is not kept unless the operator takes it; the
// probe measures on with the factors it had.
struct HeldScanCase {
    const char* what;
    int unlitRate;  // ms; 0: every range sees the light
    bool asked;
    bool take;  // the operator's answer, when asked
    int saves;
};

class Qsp720HeldScan : public Qsp720DriverTest, public testing::WithParamInterface<HeldScanCase> {};

TEST_P(Qsp720HeldScan, KeepsTheFactorsTheOperatorChooses) {
    const HeldScanCase& c = GetParam();
    script_.unlitRate = c.unlitRate;
    ASSERT_TRUE(openScripted());
    const std::array<float, 6> previous{1, 1.1f, 1.2f, 1.3f, 1, 7};
    probes_[0].rangeFactor = previous;
    pollUntilResult();
    driver_.setCalScanStep(kBrightnessScanStart);
    for (int results = 0; driver_.calScanStep() != 0 && results < 20; ++results)
        ASSERT_GT(pollUntilResult(), 0);
    ASSERT_EQ(questions_.size(), c.asked ? 1 : 0);
    EXPECT_EQ(driver_.holdsScan(), c.asked);
    if (c.asked) {
        EXPECT_TRUE(questions_[0].contains("no light in the range Bright"))
            << questions_[0].toStdString();
        EXPECT_EQ(probes_[0].rangeFactor, previous) << "the previous factors stay meanwhile";
        EXPECT_EQ(factorSaves_, 0);
        driver_.settleHeldScan(c.take);
    }
    EXPECT_EQ(factorSaves_, c.saves);
    EXPECT_EQ(scansCompleted_, c.asked ? 0 : 1) << "a doubtful scan is not called complete";
    EXPECT_EQ(probes_[0].rangeFactor == previous, c.saves == 0);
    EXPECT_FALSE(driver_.holdsScan());
}

INSTANTIATE_TEST_SUITE_P(Qsp720, Qsp720HeldScan,
                         testing::Values(HeldScanCase{"every range lit", 0, false, false, 1},
                                         HeldScanCase{"Bright unlit and kept out", 50, true, false,
                                                      0},
                                         HeldScanCase{"Bright unlit and taken", 50, true, true, 1}),
                         test::CaseName{});

TEST_F(Qsp720DriverTest, WavelengthsThatMissTheVisibleGiveNoReadingsAndSaySoOnce) {
    std::memset(script_.memory.data() + 192, ' ', 32);
    std::memcpy(script_.memory.data() + 192, "1000.5", 6);  // 1000.5 .. 1512 nm
    ASSERT_TRUE(openScripted());
    X_ = Y_ = Z_ = 5.0f;
    EXPECT_EQ(pollUntilResult(40), 0);
    EXPECT_EQ(Y_, 5.0f) << "no 0.000 reaches the readout";
    ASSERT_EQ(told_.size(), 1);
    EXPECT_TRUE(told_[0].contains("1000.5 to 1512")) << told_[0].toStdString();
}

}  // namespace
}  // namespace vqs
