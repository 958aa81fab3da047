// The JETI driver over a scripted SDK table: the enumeration's lines and rows, the countdown of
// polls before the first question, a busy instrument asked on every poll, the spectrum scaled by
// 10^6, values that cannot be fetched, and the close.

#include "probes/jeti_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vqs {
namespace {

// The scripted SDK: one instance at a time, reached by the table's plain functions.
struct ScriptedSdk {
    uint32_t count = 1;
    uint32_t countRc = 0;
    std::vector<int32_t> serials{1211001, -7};
    uint32_t openRc = 0;
    int32_t nextHandle = 40;
    bool busy = false;
    uint32_t fetchRc = 0;
    int measures = 0, statusCalls = 0;
    std::vector<int32_t> closed;
};
ScriptedSdk* sdk = nullptr;

JetiFunctions scriptedFunctions() {
    JetiFunctions f;
    f.getNumRadio = [](uint32_t* count) {
        *count = sdk->count;
        return sdk->countRc;
    };
    f.getSerialRadio = [](uint32_t index, int32_t* serial, int32_t*) {
        *serial = sdk->serials.at(index);
        return uint32_t{0};
    };
    f.openRadio = [](uint32_t, int32_t* handle) {
        *handle = sdk->nextHandle++;
        return sdk->openRc;
    };
    f.setCycModeConf = [](int32_t, uint32_t) { return uint32_t{0}; };
    f.setCycTimeConf = [](int32_t, uint32_t) { return uint32_t{0}; };
    f.measure = [](int32_t, float, uint16_t, uint8_t) {
        ++sdk->measures;
        return uint32_t{0};
    };
    f.measureStatus = [](int32_t, int32_t* busy) {
        ++sdk->statusCalls;
        *busy = sdk->busy ? 1 : 0;
        return uint32_t{0};
    };
    f.chromXyz = [](int32_t, int32_t, int32_t, float* X, float* Y, float* Z) {
        *X = 95.0f;
        *Y = 100.0f;
        *Z = 108.0f;
        return sdk->fetchRc;
    };
    f.specRad = [](int32_t, int32_t first, int32_t last, float* values) {
        for (int i = 0; i <= last - first; ++i) values[i] = 0.001f * static_cast<float>(i + 1) / 3;
        return uint32_t{0};
    };
    f.closeDevice = [](int32_t handle) {
        sdk->closed.push_back(handle);
        return uint32_t{0};
    };
    return f;
}

class JetiDriverTest : public testing::Test {
  protected:
    JetiDriverTest() {
        sdk = &sdk_;
        resetProbeList(probes_);
    }
    ~JetiDriverTest() override { sdk = nullptr; }

    bool enumerate() { return driver_.enumerate(scriptedFunctions()); }
    int poll() { return driver_.poll(0, X_, Y_, Z_, spectrum_); }

    ScriptedSdk sdk_;
    ProbeList probes_;
    std::string printed_;
    JetiDriver driver_{probes_, [this](const std::string& text) { printed_ += text; }};
    float X_ = -1, Y_ = -1, Z_ = -1;
    Tsprad spectrum_;
};

TEST_F(JetiDriverTest, ListsEachInstrumentWithItsSerialNumberAndHandle) {
    sdk_.count = 2;
    ASSERT_TRUE(enumerate());
    EXPECT_EQ(printed_, "Searching device...\n");
    EXPECT_EQ(probes_[0].type, kProbeJeti);
    EXPECT_EQ(probes_[0].displayName, "JETI SPECBOS 1211 - SN1211001");
    EXPECT_EQ(probes_[0].device, 40);
    EXPECT_EQ(probes_[1].serialNumber, "-7") << "a signed number";
    EXPECT_EQ(probes_[1].device, 41);
    EXPECT_EQ(probes_[1].driverState, kJetiStartMeasurement);
}

TEST_F(JetiDriverTest, NoInstrumentIsSaidOnStandardOutputWithTheErrorCode) {
    sdk_.count = 0;
    EXPECT_FALSE(enumerate());
    EXPECT_EQ(printed_,
              "Searching device...\nNo matching device found!\nError code 0x00000000\n"
              "Press any key to continue...\n");
    printed_.clear();
    sdk_.count = 1;
    sdk_.countRc = 0x11;
    EXPECT_FALSE(enumerate());
    EXPECT_NE(printed_.find("Error code 0x00000011\n"), std::string::npos);
    EXPECT_EQ(probes_[0].type, kProbeFree);
}

TEST_F(JetiDriverTest, AnInstrumentThatCannotBeOpenedGetsNoRowAndAFullListNone) {
    sdk_.openRc = 5;
    EXPECT_TRUE(enumerate());
    EXPECT_EQ(probes_[0].type, kProbeFree);
    sdk_.openRc = 0;
    for (Tsmlist& probe : probes_) probe.type = kProbeCs2000;
    const int32_t handle = sdk_.nextHandle;
    EXPECT_TRUE(enumerate());
    EXPECT_EQ(sdk_.nextHandle, handle) << "no free row, nothing opened";
}

// A measurement starts at the first poll; the instrument is asked from the 51st on, at every
// poll while it is busy, and the poll that delivers starts the next measurement.
TEST_F(JetiDriverTest, TheFirstQuestionComesFiftyPollsAfterTheStart) {
    ASSERT_TRUE(enumerate());
    sdk_.busy = true;
    for (int polls = 1; polls <= 50; ++polls) ASSERT_EQ(poll(), 0);
    EXPECT_EQ(sdk_.measures, 1);
    EXPECT_EQ(sdk_.statusCalls, 0);
    for (int polls = 0; polls < 500; ++polls) ASSERT_EQ(poll(), 0);
    EXPECT_EQ(sdk_.statusCalls, 500) << "no time-out: asked on every poll";
    EXPECT_EQ(Y_, -1.0f) << "nothing delivered, nothing written";
    sdk_.busy = false;
    EXPECT_EQ(poll(), 1);
    EXPECT_EQ(sdk_.measures, 2);
    EXPECT_EQ(probes_[0].driverState, kJetiWaitPolls);
    EXPECT_EQ(Y_, 100.0f);
}

TEST_F(JetiDriverTest, TheSpectrumIs401ValuesEachAMillionTimesTheSdks) {
    ASSERT_TRUE(enumerate());
    int result = 0;
    for (int polls = 0; polls < 60 && result == 0; ++polls) result = poll();
    ASSERT_EQ(result, 1);
    EXPECT_EQ(spectrum_.firstWavelength, 380);
    EXPECT_EQ(spectrum_.lastWavelength, 780);
    EXPECT_EQ(spectrum_.count, 401);
    for (int i = 0; i < 401; ++i)
        ASSERT_EQ(spectrum_.values[i], 0.001f * static_cast<float>(i + 1) / 3 * 1e6f) << i;
    EXPECT_EQ(spectrum_.values[401], 0.0f);
    EXPECT_EQ(X_, 95.0f);
    EXPECT_EQ(Z_, 108.0f);
}

TEST_F(JetiDriverTest, ValuesThatCannotBeFetchedGiveNoResultAndTheNextMeasurementStarts) {
    ASSERT_TRUE(enumerate());
    sdk_.fetchRc = 3;
    for (int polls = 0; polls < 51; ++polls) ASSERT_EQ(poll(), 0);
    EXPECT_EQ(sdk_.measures, 2);
    EXPECT_EQ(Y_, -1.0f);
    EXPECT_EQ(spectrum_.count, 0);
}

TEST_F(JetiDriverTest, CloseEndsEveryJetiAndFreesItsRow) {
    probes_[0].type = kProbeQsp720;
    sdk_.count = 2;
    ASSERT_TRUE(enumerate());
    driver_.close();
    EXPECT_EQ(sdk_.closed, (std::vector<int32_t>{40, 41}));
    EXPECT_EQ(probes_[0].type, kProbeQsp720);
    EXPECT_EQ(probes_[1].type, kProbeFree);
    EXPECT_EQ(probes_[2].type, kProbeFree);
    EXPECT_EQ(driver_.poll(1, X_, Y_, Z_, spectrum_), 0);
}

}  // namespace
}  // namespace vqs
