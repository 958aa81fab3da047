// The CS-2000 driver against scripted instruments whose answers come late, one command at a
// time, split, doubled or all at once, and whose port goes away and comes back. Every tick is
// stepped by the test, so each timing is exact.

#include "probes/cs2000_driver.h"
#include "tests/support/case_name.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <deque>
#include <map>
#include <memory>

namespace vqs {
namespace {

// How an instrument hands its answers over.
struct Delivery {
    int latencyTicks = 0;     // ticks between a command and the read that brings its answer
    bool oneAtATime = false;  // each command is answered a tick after the one before
    bool split = false;       // every line comes in two halves, a tick apart
    bool doubled = false;     // every line comes twice
    int measuringTicks = 2;   // from "OK00,ttt" to the end of the measurement (0: same read)
};

// A CS-2000 as the port sees it: answers each command in order, by the given delivery.
class ScriptedInstrument {
public:
    ScriptedInstrument(QByteArray serial, float scale, Delivery delivery)
        : serial_(std::move(serial)), scale_(scale), delivery_(delivery) {}

    bool plugged = true;
    QStringList commands;

    // The radiance the instrument measures at index i (380 + i nm): distinct in every block, so
    // a block taken for another changes the result.
    float radiance(int i) const { return scale_ * 1e-3f * (1 + i % 7 + 10 * (i / 100)); }

    void receive(const QByteArray& bytes) {
        pending_ += bytes;
        qsizetype end;
        while ((end = pending_.indexOf("\r\n")) >= 0) {
            const QByteArray command = pending_.left(end);
            pending_.remove(0, end + 2);
            if (!command.isEmpty()) answer(command);
        }
    }

    QByteArray take() {
        QByteArray due;
        while (!out_.empty() && out_.front().tick <= now_) {
            due += out_.front().bytes;
            out_.pop_front();
        }
        return due;
    }

    void nextTick() { ++now_; }

    void unplug() {
        plugged = false;
        out_.clear();
        pending_.clear();
    }

private:
    struct Scheduled {
        int tick;
        QByteArray bytes;
    };

    void answer(const QByteArray& command) {
        commands << QString::fromLatin1(command);
        int at = now_ + delivery_.latencyTicks;
        if (delivery_.oneAtATime) at = std::max(at, lastTick_ + 1);
        if (command.startsWith("RMTS")) return schedule(at, "OK00");
        if (command == "IDDR") return schedule(at, identification());
        if (command == "MEAS,1") {
            schedule(at, "OK00,001");
            return schedule(at + delivery_.measuringTicks, "OK00");
        }
        if (command.startsWith("MEDR,1,0,0")) return schedule(at, block(command.right(1).toInt()));
        schedule(at, "ER00");
    }

    void schedule(int tick, const QByteArray& line) {
        tick = std::max(tick, lastTick_);  // answers never overtake each other
        const QByteArray bytes = line + "\r\n";
        for (int copy = 0; copy < (delivery_.doubled ? 2 : 1); ++copy) {
            if (delivery_.split) {
                out_.push_back({tick, bytes.left(bytes.size() / 2)});
                out_.push_back({tick + 1, bytes.mid(bytes.size() / 2)});
            } else {
                out_.push_back({tick, bytes});
            }
        }
        lastTick_ = delivery_.split ? tick + 1 : tick;
    }

    QByteArray identification() const {
        QByteArray line = "OK00,CS-2000,0,";
        return line + serial_.rightJustified(24 - line.size(), '0', true);
    }

    QByteArray block(int number) const {
        QByteArray line = "OK00";
        const int first = (number - 1) * 100;
        for (int i = first; i < first + (number == 4 ? 101 : 100); ++i)
            line += ',' + QByteArray::number(radiance(i), 'e', 6);
        return line;
    }

    QByteArray serial_;
    float scale_;
    Delivery delivery_;
    QByteArray pending_;
    std::deque<Scheduled> out_;
    int now_ = 0;
    int lastTick_ = 0;
};

// The driver's handle on a scripted instrument; it dies with the driver's port, the instrument
// lives on in the test.
class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(std::shared_ptr<ScriptedInstrument> instrument)
        : instrument_(std::move(instrument)) {}
    bool write(const QByteArray& bytes) override {
        if (!instrument_->plugged) return false;
        instrument_->receive(bytes);
        return true;
    }
    QByteArray readAvailable() override {
        return instrument_->plugged ? instrument_->take() : QByteArray();
    }
    bool isHealthy() const override { return instrument_->plugged; }

private:
    std::shared_ptr<ScriptedInstrument> instrument_;
};

class Cs2000Conversation : public testing::Test {
protected:
    Cs2000Conversation() { resetProbeList(probes_); }

    std::shared_ptr<ScriptedInstrument> plug(int com, QByteArray serial, Delivery delivery = {},
                                             float scale = 1.0f) {
        auto instrument = std::make_shared<ScriptedInstrument>(serial, scale, delivery);
        ports_[com] = instrument;
        return instrument;
    }

    Cs2000Driver& driver() {
        if (!driver_) {
            Cs2000Driver::Hooks hooks;
            hooks.openPort = [this](int port) -> std::unique_ptr<SerialPort> {
                opened_ << port;
                const auto found = ports_.find(port);
                if (found == ports_.end() || !found->second->plugged) return nullptr;
                return std::make_unique<ScriptedPort>(found->second);
            };
            hooks.probeAdded = [this] { ++probesAdded_; };
            driver_ = std::make_unique<Cs2000Driver>(probes_, logNext_, hooks);
        }
        return *driver_;
    }

    // One measurement tick as the cycle runs it; `release` first takes the instrument out of a
    // second position, so "RMTS,0" and the poll's "RMTS,1" go out in the same tick.
    bool tick(bool selected = true, bool release = false) {
        driver().interpretReplies();
        if (release) driver().release(0);
        const bool got = selected && driver().poll(0, X_, Y_, Z_, spectrum_) != 0;
        driver().readBytes();
        for (auto& [com, instrument] : ports_) instrument->nextTick();
        return got;
    }

    // Housekeeping once every ten ticks, as the upkeep timer runs it.
    void run(int ticks, bool selected = false) {
        for (int i = 1; i <= ticks; ++i) {
            tick(selected);
            if (i % 10 == 0) driver().housekeeping();
        }
    }

    void identify() {
        driver().startSearch(0);
        for (int i = 0; i < 8 && driver().link().state != kCs2000Local; ++i) run(10);
        ASSERT_EQ(driver().link().state, kCs2000Local);
    }

    // Ticks until a reading arrives; the ticks it took, or -1.
    int ticksToReading(int limit = 60) {
        for (int t = 1; t <= limit; ++t)
            if (tick()) return t;
        return -1;
    }

    // The X, Y, Z the instrument's spectrum gives.
    static std::array<float, 3> expected(const ScriptedInstrument& instrument) {
        Tsprad s;
        s.count = kCs2000Samples;
        for (int i = 0; i < kCs2000Samples; ++i)
            s.values[i] = QByteArray::number(instrument.radiance(i), 'e', 6).toFloat() * 1e6f;
        std::array<float, 3> xyz{};
        cs2000Tristimulus(s, xyz[0], xyz[1], xyz[2]);
        return xyz;
    }

    void expectReadingOf(const ScriptedInstrument& instrument) {
        const auto xyz = expected(instrument);
        EXPECT_NEAR(X_, xyz[0], 1e-5f * xyz[1]);
        EXPECT_NEAR(Y_, xyz[1], 1e-5f * xyz[1]);
        EXPECT_NEAR(Z_, xyz[2], 1e-5f * xyz[1]);
    }

    ProbeList probes_;
    bool logNext_ = false;
    std::map<int, std::shared_ptr<ScriptedInstrument>> ports_;
    std::unique_ptr<Cs2000Driver> driver_;
    QList<int> opened_;
    int probesAdded_ = 0;
    float X_ = 0, Y_ = 0, Z_ = 0;
    Tsprad spectrum_;
};

// ---- Replies and their commands ---------------------------------------------------------------

struct DeliveryCase {
    const char* what;
    Delivery delivery;
};

void PrintTo(const DeliveryCase& c, std::ostream* os) {
    *os << c.what;
}

class RepliesInOrder : public Cs2000Conversation,
                       public testing::WithParamInterface<DeliveryCase> {};

TEST_P(RepliesInOrder, EveryReplyAnswersItsOwnCommand) {
    const auto instrument = plug(1, "100012345", GetParam().delivery);
    identify();
    ASSERT_GT(ticksToReading(), 0) << "first reading";
    expectReadingOf(*instrument);

    for (int round = 0; round < 4; ++round) {
        // Leaving the second position and being polled in the first in the same tick, at a
        // different point of the measurement each round.
        for (int t = 0; t < round; ++t) tick();
        tick(true, /*release=*/true);
        const int measurementsBefore = static_cast<int>(instrument->commands.count("MEAS,1"));
        ASSERT_GT(ticksToReading(), 0)
            << "round " << round << ": " << instrument->commands.join(' ').toStdString();
        expectReadingOf(*instrument);
        // The measurement that delivered, and the next one the delivering poll started.
        EXPECT_EQ(instrument->commands.count("MEAS,1"), measurementsBefore + 2)
            << "round " << round << ": no measurement was thrown away";
    }
    for (int reading = 0; reading < 3; ++reading) {
        ASSERT_GT(ticksToReading(), 0);
        expectReadingOf(*instrument);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Deliveries, RepliesInOrder,
    testing::Values(
        DeliveryCase{"at once", {}}, DeliveryCase{"one command at a time", {.oneAtATime = true}},
        DeliveryCase{"late", {.latencyTicks = 3, .oneAtATime = true}},
        DeliveryCase{"split", {.oneAtATime = true, .split = true}},
        DeliveryCase{"doubled", {.doubled = true}},
        DeliveryCase{"doubled one at a time", {.oneAtATime = true, .doubled = true}},
        DeliveryCase{"measurement ends with its announcement", {.measuringTicks = 0}},
        DeliveryCase{"everything split and late",
                     {.latencyTicks = 2, .oneAtATime = true, .split = true, .measuringTicks = 0}}),
    test::CaseName());

TEST_F(Cs2000Conversation, AReleaseAndAPollInOneTickStillMeasure) {
    // The answer to "RMTS,0" comes a tick before the answer to "RMTS,1": the first "OK00" must
    // not be taken as remote mode granted.
    const auto instrument = plug(1, "100012345", {.oneAtATime = true});
    identify();
    ASSERT_GT(ticksToReading(), 0);
    tick(true, /*release=*/true);
    EXPECT_EQ(instrument->commands.mid(instrument->commands.size() - 2),
              QStringList({"RMTS,0", "RMTS,1"}));
    EXPECT_EQ(tick(), false);
    EXPECT_EQ(driver().link().state, kCs2000WaitRemote)
        << "the release's answer is not remote mode";
    ASSERT_GT(ticksToReading(), 0);
    expectReadingOf(*instrument);
}

// ---- The identified instrument's port -------------------------------------------------------

enum class Returns { Nobody, SameInstrument, OtherInstrument };

struct ReturnCase {
    const char* what;
    Returns returns;
};

void PrintTo(const ReturnCase& c, std::ostream* os) {
    *os << c.what;
}

class PortComesBack : public Cs2000Conversation, public testing::WithParamInterface<ReturnCase> {};

TEST_P(PortComesBack, OnlyTheIdentifiedPortIsTriedAgain) {
    const auto first = plug(1, "100012345");
    const auto elsewhere = plug(5, "100099999", {}, 2.0f);
    identify();
    ASSERT_GT(ticksToReading(), 0);
    ASSERT_EQ(opened_, QList<int>({1}));

    first->unplug();
    run(60, true);
    EXPECT_EQ(opened_.count(5), 0) << "the search does not start over";
    EXPECT_TRUE(elsewhere->commands.isEmpty());
    EXPECT_GT(opened_.count(1), 2) << "the port is tried again";

    const Returns returns = GetParam().returns;
    std::shared_ptr<ScriptedInstrument> back;
    if (returns == Returns::SameInstrument) back = plug(1, "100012345");
    if (returns == Returns::OtherInstrument) back = plug(1, "100077777", {}, 3.0f);
    run(60, true);

    EXPECT_EQ(probesAdded_, 1) << "one entry, never a second";
    EXPECT_EQ(probes_[0].serialNumber, "100012345");
    EXPECT_EQ(probes_[1].type, kProbeFree);
    EXPECT_TRUE(elsewhere->commands.isEmpty());
    const int reading = ticksToReading();
    if (returns == Returns::SameInstrument) {
        ASSERT_GT(reading, 0) << "measures again once its adapter is back";
        expectReadingOf(*back);
    } else {
        EXPECT_EQ(reading, -1) << "row 0 never shows another instrument's readings";
    }
    if (returns == Returns::OtherInstrument) {
        EXPECT_FALSE(back->commands.contains("MEAS,1"));
        ASSERT_FALSE(back->commands.isEmpty()) << "it was asked who it is";
        EXPECT_EQ(back->commands.last(), "RMTS,0") << "the stranger is left in local mode";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PortComesBack,
                         testing::Values(ReturnCase{"nobody", Returns::Nobody},
                                         ReturnCase{"the same instrument", Returns::SameInstrument},
                                         ReturnCase{"another instrument",
                                                    Returns::OtherInstrument}),
                         test::CaseName());

}  // namespace
}  // namespace vqs
