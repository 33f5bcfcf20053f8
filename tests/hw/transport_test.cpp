// The card transport against the simulated board: what reaches the card for every command
// type and data size, the order of the handshake, the waits, and every failure.
#include "hw_fixture.h"
#include "transport.h"

#include <climits>
#include <functional>

namespace vx::hw::test {
namespace {

using Kind = SimulatedBoard::MessageKind;

std::vector<uint32_t> asWords(std::initializer_list<int> values)
{
    std::vector<uint32_t> words;
    for (int v : values)
        words.push_back(uint32_t(v));
    return words;
}

// ---- Commands --------------------------------------------------------------------------------

struct CommandCase {
    const char *name;
    Record record;
    std::vector<uint32_t> sent; // the words the card receives
    uint32_t pending;           // the announced data size afterwards
};

constexpr uint32_t kEarlierSize = 777; // announced before each case

const CommandCase kCommandCases[] = {
    {"ClearOnSwap", {1, 1, 9, 9, 9, 9, 9}, asWords({1, 1}), kEarlierSize},
    {"SwapOnWrite", {2, 0, 9, 9, 9, 9, 9}, asWords({2, 0}), kEarlierSize},
    {"SwapSendsSecondWordAsFilled", {3, 99, 9, 9, 9, 9, 9}, asWords({3, 99}), kEarlierSize},
    {"FullPlane", {4, -5, 9, 9, 9, 9, 9}, asWords({4, -5}), 765952},
    {"SubPlaneCornersInAnyOrder", {5, 10, 20, 5, 25, 9, 9}, asWords({5, 10, 20, 5, 25}), 36},
    {"SubPlaneNegativeCorners", {5, -3, 3, 3, -3, 9, 9}, asWords({5, -3, 3, 3, -3}), 49},
    {"SubPlaneWholePlane", {5, 1023, 747, 0, 0, 9, 9}, asWords({5, 1023, 747, 0, 0}), 765952},
    {"FullBlock", {6, 0, 9, 9, 9, 9, 9}, asWords({6, 0}), 15319040},
    {"SubBlock", {7, 1, 2, 3, 4, 6, 3}, asWords({7, 1, 2, 3, 4, 6, 3}), 20},
    {"SubBlockReversed", {7, 100, 50, 19, 0, 0, 0}, asWords({7, 100, 50, 19, 0, 0, 0}), 103020},
    {"SubBlockWholeVolume", {7, 0, 0, 0, 1023, 747, 19}, asWords({7, 0, 0, 0, 1023, 747, 19}),
     15319040},
};

void PrintTo(const CommandCase &c, std::ostream *os) { *os << c.name; }

class CommandTest : public HwTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTest, SendsItsWordsAndAnnouncesItsSize)
{
    const CommandCase &c = GetParam();
    initialise();
    driverState().pendingDataSize = kEarlierSize;

    ASSERT_EQ(send(c.record), VX_OK);
    EXPECT_EQ(driverState().pendingDataSize, c.pending);
    EXPECT_EQ(driverState().lastBlockSize, c.sent.size());
    EXPECT_EQ(sim.trace(), "S R I1 L1=1 I0 L1=0 B" + std::to_string(c.sent.size()));
    drain();
    ASSERT_EQ(sim.messages().size(), 1u);
    EXPECT_EQ(sim.messages()[0].kind, Kind::Command);
    EXPECT_EQ(sim.messages()[0].words, c.sent);
    EXPECT_EQ(lastError(), "No error");
}

INSTANTIATE_TEST_SUITE_P(Types, CommandTest, ::testing::ValuesIn(kCommandCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HwTest, RefusedCommandsSendAndChangeNothing)
{
    initialise();
    driverState().pendingDataSize = kEarlierSize;
    const Record refused[] = {
        {-1, 0, 0, 0, 0, 0, 0},
        {8, 0, 0, 0, 0, 0, 0},
        {INT_MIN, 0, 0, 0, 0, 0, 0},
        {5, 0, 0, 1024, 747, 0, 0},              // 1025 x 748 pixels: more than a plane
        {5, INT_MIN, 0, INT_MAX, 0, 0, 0},       // span of 2^32: no overflow
        {5, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
        {7, 0, 0, 0, 1023, 747, 20},             // 21 planes: more than the volume
        {7, INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Record &r : refused) {
        EXPECT_EQ(send(r), VX_ERR_INVALID_ARGUMENT) << "type " << r[0] << " x1 " << r[1];
    }
    EXPECT_EQ(vxHwSendCommand(nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxHwSendData(nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(sim.trace(), "");
    EXPECT_EQ(driverState().pendingDataSize, kEarlierSize);
    EXPECT_EQ(lastError(), "No error");
}

// ---- Data ------------------------------------------------------------------------------------

struct DataCase {
    const char *name;
    std::optional<Record> sizing; // none: data before any sizing command
    std::vector<uint32_t> chunks;
};

const DataCase kDataCases[] = {
    {"FullPlaneInOneBlockOutput", Record{4, 0, 0, 0, 0, 0, 0}, {765952}},
    {"FullVolumeInFour", Record{6, 0, 0, 0, 0, 0, 0}, {4000000, 4000000, 4000000, 3319040}},
    {"SubPlane", Record{5, 0, 0, 9, 9, 0, 0}, {100}},
    {"SubBlock", Record{7, 0, 0, 0, 9, 9, 2}, {300}},
    {"SubBlockOfThreePlanes", Record{7, 0, 0, 17, 1023, 747, 19}, {2297856}},
    {"NothingAnnounced", std::nullopt, {}},
};

void PrintTo(const DataCase &c, std::ostream *os) { *os << c.name; }

class DataTest : public HwTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(DataTest, ReachesTheCardInChunksOfTheBlockLimit)
{
    const DataCase &c = GetParam();
    initialise();
    uint64_t total = 0;
    for (uint32_t n : c.chunks)
        total += n;
    std::vector<uint32_t> data = pattern(std::max<uint64_t>(total, 1));
    if (c.sizing) {
        ASSERT_EQ(send(*c.sizing), VX_OK);
    }
    drain();
    sim.clearLog();

    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    // The chunks follow each other without a wait, and the call does not wait for them.
    std::string expected = "S R I1 L3=1 I0 L3=0";
    for (uint32_t n : c.chunks)
        expected += " B" + std::to_string(n);
    EXPECT_EQ(sim.trace(), expected);
    if (total > 100000) {
        EXPECT_GT(sim.wordsInFlight(), 0u);
    }

    drain();
    ASSERT_EQ(sim.messages().size(), 1u);
    const SimulatedBoard::Message &m = sim.messages()[0];
    EXPECT_EQ(m.kind, Kind::Data);
    EXPECT_EQ(m.size, total);
    EXPECT_EQ(m.checksum, SimulatedBoard::checksum(data.data(), total));
    if (total <= SimulatedBoard::kKeptWords) {
        EXPECT_EQ(m.words, std::vector<uint32_t>(data.begin(), data.begin() + total));
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, DataTest, ::testing::ValuesIn(kDataCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HwTest, AnnouncedSizeStaysForFurtherDataAndNonSizingCommands)
{
    initialise();
    std::vector<uint32_t> data = pattern(36);
    ASSERT_EQ(send({5, 10, 20, 5, 25, 0, 0}), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    ASSERT_EQ(send({1, 1, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(send({2, 1, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    drain();

    std::vector<uint64_t> sizes;
    for (const auto &m : sim.messages())
        sizes.push_back(m.kind == Kind::Data ? m.size : 1000 + m.words[0]);
    EXPECT_EQ(sizes, (std::vector<uint64_t>{1005, 36, 1001, 1002, 1003, 36, 36}));
    EXPECT_EQ(driverState().pendingDataSize, 36u);
}

// ---- Handshake and waits ---------------------------------------------------------------------

TEST_F(HwTest, WaitsForEveryRequestLevelAndForTheCardToBeginTaking)
{
    initialise();
    // The card changes REQ2 only after three reads, and is busy for 50 ms before it begins to
    // take a block; it takes one word a millisecond.
    sim.setReq2Latency(3);
    sim.setStartDelay(50);
    sim.setRate(1);
    ASSERT_EQ(send({5, 1, 2, 3, 4, 0, 0}), VX_OK);
    EXPECT_EQ(sim.trace(), "S R I1 L1=1 I1 I0 L1=0 B5");
    sim.clearLog();

    // The first command's words are read from the driver's command block while the second
    // command is being sent: the block must not be rewritten before they are all taken.
    uint32_t before = clock.ms();
    ASSERT_EQ(send({7, 5, 6, 7, 8, 9, 10}), VX_OK);
    EXPECT_GE(clock.ms() - before, 50u + 5u); // waited for the start and for 5 words
    EXPECT_EQ(sim.trace(), "S R I0 I1 L1=1 I1 I0 L1=0 B7");
    ASSERT_GE(sim.events().size(), 1u);
    EXPECT_GE(sim.events()[0].repeats, 50u); // one query a millisecond while the card is busy
    drain();
    ASSERT_EQ(sim.messages().size(), 2u);
    EXPECT_EQ(sim.messages()[0].words, asWords({5, 1, 2, 3, 4}));
    EXPECT_EQ(sim.messages()[1].words, asWords({7, 5, 6, 7, 8, 9, 10}));
}

TEST_F(HwTest, WaitsSurviveTheClockWrappingAround)
{
    clock.advanceTo(UINT32_MAX - 20);
    initialise();
    std::vector<uint32_t> data = pattern(VX_PLANE_PIXELS);
    ASSERT_EQ(send({4, 0, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    ASSERT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_OK);
    EXPECT_EQ(sim.messages()[1].size, uint64_t(VX_PLANE_PIXELS));

    clock.advanceTo(UINT32_MAX - 500); // the next wrap
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    sim.faults().wordsBeforeStall = 1000;
    uint32_t before = clock.ms();
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    uint32_t waited = clock.ms() - before;
    EXPECT_GT(waited, VXHW_TRANSFER_STALL_LIMIT_MS);
    EXPECT_LT(waited, VXHW_TRANSFER_STALL_LIMIT_MS + 100);
    EXPECT_EQ(lastError(), "Timeout waiting for previous transfer to finish");
}

TEST_F(HwTest, PauseBusyWaitsOnTheClock)
{
    clock.advanceTo(UINT32_MAX - 3); // across the wrap
    uint32_t before = clock.ms();
    pause(10);
    EXPECT_EQ(uint32_t(clock.ms() - before), 11u); // the reading at the start and ten more
}

// ---- Failures --------------------------------------------------------------------------------

struct FailureCase {
    const char *name;
    std::function<void(SimulatedBoard &)> arrange; // before the failing call
    bool sendData;      // the failing call: vxHwSendData of a plane (else a swap command)
    uint32_t index;     // error index recorded
    const char *text;
    const char *trace;  // what the failing call did
    bool strobeLeftUp;  // the raised strobe stays raised
};

const FailureCase kFailureCases[] = {
    {"Req2NeverRises", [](auto &s) { s.faults().req2NeverRises = true; }, false, 2,
     "Timeout waiting for REQ2 to go high at start of handshake", "S R I0", false},
    {"Req2NeverFalls", [](auto &s) { s.faults().req2NeverFalls = true; }, false, 3,
     "Timeout waiting for REQ2 to go low at end of handshake", "S R I1 L1=1 I1", true},
    {"CommandStrobeUpFails", [](auto &s) { s.faults().failLineOutput = {{1, 1}}; }, false, 15,
     "Cannot perform line out", "S R I1 L1=1!", false},
    {"CommandStrobeDownFails", [](auto &s) { s.faults().failLineOutput = {{1, 0}}; }, false, 15,
     "Cannot perform line out", "S R I1 L1=1 I0 L1=0!", true},
    {"DataStrobeUpFails", [](auto &s) { s.faults().failLineOutput = {{3, 1}}; }, true, 15,
     "Cannot perform line out", "S R I1 L3=1!", false},
    {"DataStrobeDownFails", [](auto &s) { s.faults().failLineOutput = {{3, 0}}; }, true, 15,
     "Cannot perform line out", "S R I1 L3=1 I0 L3=0!", true},
    {"BlockOutputFails", [](auto &s) { s.faults().blockOutputsBeforeFailure = 0; }, false, 16,
     "Cannot perform block out", "S R I1 L1=1 I0 L1=0 B2!", false},
    {"DataBlockOutputFails", [](auto &s) { s.faults().blockOutputsBeforeFailure = 0; }, true,
     16, "Cannot perform block out", "S R I1 L3=1 I0 L3=0 B765952!", false},
};

void PrintTo(const FailureCase &c, std::ostream *os) { *os << c.name; }

class FailureTest : public HwTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, ReturnsOutputCardWithItsErrorIndex)
{
    const FailureCase &c = GetParam();
    initialise();
    std::vector<uint32_t> data = pattern(VX_PLANE_PIXELS);
    ASSERT_EQ(send({4, 0, 0, 0, 0, 0, 0}), VX_OK);
    drain();
    sim.clearLog();
    c.arrange(sim);

    unsigned status = c.sendData ? vxHwSendData(data.data()) : send({3, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(status, VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(driverState().lastErrorIndex, c.index);
    EXPECT_EQ(sim.trace(), c.trace);
    int16_t strobe = c.sendData ? kDataStrobeLine : kCommandStrobeLine;
    EXPECT_EQ(sim.line(strobe), c.strobeLeftUp ? 1 : 0);
    EXPECT_EQ(lastError(), c.text);
    EXPECT_EQ(lastError(), "No error");
}

INSTANTIATE_TEST_SUITE_P(Transport, FailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HwTest, RequestWaitsGiveUpAfterTheirCountOfReads)
{
    initialise();
    sim.faults().req2NeverRises = true;
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(lastRepeats(), uint64_t(VXHW_WAIT_READS));

    sim.faults().req2NeverRises = false;
    sim.faults().req2NeverFalls = true;
    sim.clearLog();
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(lastRepeats(), uint64_t(VXHW_WAIT_READS));
    EXPECT_EQ(lastError(), "Timeout waiting for REQ2 to go low at end of handshake");
}

TEST_F(HwTest, CardThatNeverBeginsTakingTimesOutWaitingForSwap)
{
    initialise();
    std::vector<uint32_t> data = pattern(VX_PLANE_PIXELS);
    ASSERT_EQ(send({4, 0, 0, 0, 0, 0, 0}), VX_OK);
    drain();
    sim.faults().wordsBeforeStall = 0;
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    sim.clearLog();

    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(sim.trace(), "S");
    EXPECT_EQ(lastRepeats(), uint64_t(VXHW_WAIT_READS) + 1); // the first query and 5000 more
    EXPECT_EQ(lastError(), "Timeout waiting for swap");
    // Synchronising waits for the same transfer and fails the same way.
    EXPECT_EQ(send({0, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(lastError(), "Timeout waiting for swap");
}

TEST_F(HwTest, StalledTransferTimesOutAfterTheNoProgressLimit)
{
    initialise();
    std::vector<uint32_t> data = pattern(VX_VOLUME_PIXELS);
    ASSERT_EQ(send({6, 0, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    sim.faults().wordsBeforeStall = 5000000; // stops inside the second chunk
    uint32_t stalledSince = 0;
    for (uint32_t remaining = 1; remaining != 0 && sim.faults().wordsBeforeStall != 0;)
        sim.blockTransferStatus(kDevice, kGroup, &remaining);
    stalledSince = clock.ms();

    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    uint32_t waited = clock.ms() - stalledSince;
    EXPECT_GT(waited, VXHW_TRANSFER_STALL_LIMIT_MS);
    EXPECT_LT(waited, VXHW_TRANSFER_STALL_LIMIT_MS + 100);
    EXPECT_EQ(lastError(), "Timeout waiting for previous transfer to finish");
}

TEST_F(HwTest, FailedChunkLeavesTheStartedChunksOnTheirWay)
{
    initialise();
    std::vector<uint32_t> data = pattern(VX_VOLUME_PIXELS);
    ASSERT_EQ(send({6, 0, 0, 0, 0, 0, 0}), VX_OK);
    drain();
    sim.clearLog();
    sim.faults().blockOutputsBeforeFailure = 2;

    EXPECT_EQ(vxHwSendData(data.data()), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(sim.trace(), "S R I1 L3=1 I0 L3=0 B4000000 B4000000 B4000000!");
    EXPECT_EQ(driverState().lastBlockSize, 4000000u);
    drain();
    ASSERT_EQ(sim.messages().size(), 1u);
    EXPECT_EQ(sim.messages()[0].size, 8000000u);
    EXPECT_EQ(sim.messages()[0].checksum, SimulatedBoard::checksum(data.data(), 8000000));
    EXPECT_EQ(lastError(), "Cannot perform block out");
}

TEST_F(HwTest, BlockOutputBeforeInitialisationFails)
{
    EXPECT_EQ(send({5, 0, 0, 9, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(lastError(), "Cannot perform block out");
    expectViolations = true; // the board refuses block outputs on an unconfigured group
}

// ---- Synchronise, global reset, geometry -----------------------------------------------------

TEST_F(HwTest, SynchroniseWaitsReleasesAndChecksTheCard)
{
    initialise();
    std::vector<uint32_t> data = pattern(VX_PLANE_PIXELS);
    ASSERT_EQ(send({4, 0, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    sim.clearLog();
    ASSERT_EQ(send({0, 0, 0, 0, 0, 0, 0}), VX_OK);
    EXPECT_EQ(sim.trace(), "S R I1");
    EXPECT_EQ(sim.wordsInFlight(), 0u);
    EXPECT_EQ(sim.messages()[0].size, uint64_t(VX_PLANE_PIXELS));
}

TEST_F(HwTest, SynchroniseResetsACardThatNeverRaisesRequest)
{
    initialise();
    sim.faults().req2NeverRises = true;
    EXPECT_EQ(send({0, 0, 0, 0, 0, 0, 0}), VX_OK);
    EXPECT_EQ(sim.trace(), "S R I0 L1=1 L3=1 X L1=0 L3=0");
    EXPECT_EQ(lastError(), "No error"); // reset, not reported
}

TEST_F(HwTest, GlobalResetPulsesBothStrobesAndReportsTheLastChange)
{
    initialise();
    EXPECT_EQ(vxHwDoGlobalReset(), 0);
    EXPECT_EQ(sim.trace(), "L1=1 L3=1 X L1=0 L3=0");

    sim.clearLog();
    sim.faults().failLineOutput = {{1, 1}}; // not examined
    EXPECT_EQ(vxHwDoGlobalReset(), 0);
    EXPECT_EQ(sim.trace(), "L1=1! L3=1 L1=0 L3=0");

    sim.clearLog();
    sim.faults().failLineOutput = {{3, 0}};
    EXPECT_NE(vxHwDoGlobalReset(), 0);
    EXPECT_EQ(sim.trace(), "L1=1 L3=1 X L1=0 L3=0!");
    EXPECT_EQ(lastError(), "No error");
}

TEST_F(HwTest, GlobalResetRecoversFromAHalfDoneHandshake)
{
    initialise();
    sim.faults().req2NeverFalls = true;
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(sim.line(kCommandStrobeLine), 1);
    sim.faults().req2NeverFalls = false;
    EXPECT_EQ(vxHwDoGlobalReset(), 0);
    EXPECT_EQ(sim.line(kCommandStrobeLine), 0);
    sim.clearLog();
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_OK);
    EXPECT_EQ(sim.trace(), "S R I1 L1=1 I0 L1=0 B2");
}

TEST(HwGet, GivesTheGeometry)
{
    const struct {
        int id;
        unsigned status;
        int value;
    } cases[] = {{0, VX_OK, 1024}, {1, VX_OK, 748}, {2, VX_OK, 20},
                 {3, VX_ERR_INVALID_ARGUMENT, -7}, {-1, VX_ERR_INVALID_ARGUMENT, -7}};
    for (const auto &c : cases) {
        int value = -7;
        EXPECT_EQ(vxHwGet(c.id, &value), c.status) << c.id;
        EXPECT_EQ(value, c.value) << c.id;
    }
    EXPECT_EQ(vxHwGet(0, nullptr), VX_ERR_INVALID_ARGUMENT);
}

} // namespace
} // namespace vx::hw::test
