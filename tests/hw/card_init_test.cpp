// Initialisation, shutdown and the error texts of the card driver, against the simulated board
// (and once against the default board).
#include "error_texts.h"
#include "hw_fixture.h"

#include <climits>
#include <cstring>
#include <functional>

namespace vx::hw::test {
namespace {

constexpr const char *kConfigure = "P4,0,1 G3,0,0,0,0 W13120=27010";

class InitTest : public HwTest {
protected:
    void SetUp() override
    {
        HwTest::SetUp();
        sim.identity().driverVersion = 0x6920;
        sim.identity().serialNumber = 0x1a2b3c4d;
        sim.identity().baseAddress = 0xe000;
        std::memset(info, '#', sizeof info);
    }
    // Room for the 114 bytes the driver may write, and a margin that must stay untouched.
    char info[160];

    bool marginUntouched() const
    {
        for (size_t i = 114; i < sizeof info; ++i)
            if (info[i] != '#')
                return false;
        return true;
    }
};

TEST_F(InitTest, DescribesConfiguresAndSynchronises)
{
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    EXPECT_STREQ(info, "Nidaq Version: 6920, National Instruments PCI-DIO-32HS, "
                       "Serial Number: 0x1a2b3c4d, Base Address: 0xe000, ");
    EXPECT_EQ(sim.trace(), std::string("V T D15280 D12100 ") + kConfigure + " S R I1");
    EXPECT_TRUE(sim.groupAssigned());
    EXPECT_TRUE(sim.groupModeSet());
    EXPECT_TRUE(sim.clockReversed());
    EXPECT_EQ(driverState().blockLimit, VXHW_BLOCK_LIMIT);
    EXPECT_EQ(lastError(), "No error");
    EXPECT_TRUE(marginUntouched());
}

TEST_F(InitTest, LongestDescriptionFitsIn114Bytes)
{
    sim.identity().driverVersion = 0xffffffff;
    sim.identity().serialNumber = 0xfedcba98;
    sim.identity().baseAddress = 0x80000000;
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    EXPECT_STREQ(info, "Nidaq Version: ffffffff, National Instruments PCI-DIO-32HS, "
                       "Serial Number: 0xfedcba98, Base Address: 0x80000000, ");
    EXPECT_EQ(std::strlen(info), 113u);
    EXPECT_TRUE(marginUntouched());
}

TEST_F(InitTest, BoardOfAnotherTypeIsReportedInTextAndIndex)
{
    sim.identity().boardType = 205;
    EXPECT_EQ(vxHwInitialize(info), VX_ERR_OUTPUT_CARD);
    EXPECT_STREQ(info, "Nidaq Version: 6920, FATAL ERROR: Voxtera Interface Card not found!, ");
    EXPECT_EQ(sim.trace(), "V T");
    EXPECT_FALSE(sim.groupAssigned());
    EXPECT_EQ(lastError(), "Cannot find the card");
    EXPECT_EQ(lastError(), "No error");
}

TEST_F(InitTest, QueriesWhoseStatusIsNotExamined)
{
    // A failing version query leaves the version at 0 and initialisation goes on.
    sim.faults().failDriverVersion = true;
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    EXPECT_STREQ(info, "Nidaq Version: 0, National Instruments PCI-DIO-32HS, "
                       "Serial Number: 0x1a2b3c4d, Base Address: 0xe000, ");

    // A failing board-type query leaves the code at 0: no board of the right type.
    sim.faults().failDriverVersion = false;
    sim.faults().failBoardType = true;
    EXPECT_EQ(vxHwInitialize(info), VX_ERR_OUTPUT_CARD);
    EXPECT_STREQ(info, "Nidaq Version: 6920, FATAL ERROR: Voxtera Interface Card not found!, ");
    EXPECT_EQ(lastError(), "Cannot find the card");
}

struct ConfigFailure {
    const char *name;
    std::function<void(SimulatedBoard::Faults &)> arrange;
    const char *text;  // the error text
    const char *info;  // the description so far
    const char *trace; // the calls made, the failing one last
};

const char kUpToType[] = "Nidaq Version: 6920, National Instruments PCI-DIO-32HS, ";
const char kUpToSerial[] = "Nidaq Version: 6920, National Instruments PCI-DIO-32HS, "
                           "Serial Number: 0x1a2b3c4d, ";
const char kFull[] = "Nidaq Version: 6920, National Instruments PCI-DIO-32HS, "
                     "Serial Number: 0x1a2b3c4d, Base Address: 0xe000, ";

const ConfigFailure kConfigFailures[] = {
    {"SerialNumber", [](auto &f) { f.failSerialNumber = true; }, "Cannot get serial number",
     kUpToType, "V T D15280!"},
    {"BaseAddress", [](auto &f) { f.failBaseAddress = true; }, "Cannot get base address",
     kUpToSerial, "V T D15280 D12100!"},
    {"PortAssignment", [](auto &f) { f.failPortAssignment = true; }, "Cannot assign ports",
     kFull, "V T D15280 D12100 P4,0,1!"},
    {"PortGrouping", [](auto &f) { f.failPortGrouping = true; }, "Cannot group ports", kFull,
     "V T D15280 D12100 P4,0,1 G3,0,0,0,0!"},
    {"ClockLine", [](auto &f) { f.failParameterWrite = true; }, "Cannot reverse PCLK", kFull,
     "V T D15280 D12100 P4,0,1 G3,0,0,0,0 W13120=27010!"},
};

void PrintTo(const ConfigFailure &c, std::ostream *os) { *os << c.name; }

class ConfigFailureTest : public InitTest, public ::testing::WithParamInterface<ConfigFailure> {};

TEST_P(ConfigFailureTest, StopsAtTheFailingStep)
{
    const ConfigFailure &c = GetParam();
    c.arrange(sim.faults());
    EXPECT_EQ(vxHwInitialize(info), VX_ERR_OUTPUT_CARD);
    EXPECT_STREQ(info, c.info);
    EXPECT_EQ(sim.trace(), c.trace);
    EXPECT_EQ(lastError(), c.text);
    EXPECT_TRUE(marginUntouched());
}

INSTANTIATE_TEST_SUITE_P(Steps, ConfigFailureTest, ::testing::ValuesIn(kConfigFailures),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(InitTest, CardThatNeverRaisesRequestIsResetAndInitialisationSucceeds)
{
    sim.faults().req2NeverRises = true;
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    EXPECT_EQ(sim.trace(), std::string("V T D15280 D12100 ") + kConfigure +
                               " S R I0 L1=1 L3=1 X L1=0 L3=0");
    EXPECT_EQ(lastError(), "No error");
}

TEST_F(InitTest, RunsEveryStepAgainWhenCalledAgain)
{
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    driverState().blockLimit = 10;
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    std::string once = std::string("V T D15280 D12100 ") + kConfigure + " S R I1";
    EXPECT_EQ(sim.trace(), once + " " + once);
    EXPECT_EQ(driverState().blockLimit, VXHW_BLOCK_LIMIT);
}

TEST_F(InitTest, NullInfoIsRefused)
{
    EXPECT_EQ(vxHwInitialize(nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(sim.trace(), "");
}

// ---- Shutdown --------------------------------------------------------------------------------

TEST_F(HwTest, ShutDownWaitsForTheLastBlockBeforeDissolvingTheGroup)
{
    initialise();
    std::vector<uint32_t> data = pattern(VX_PLANE_PIXELS);
    ASSERT_EQ(send({4, 0, 0, 0, 0, 0, 0}), VX_OK);
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    sim.clearLog();
    ASSERT_GT(sim.wordsInFlight(), 0u);

    ASSERT_EQ(vxHwShutDown(), VX_OK);
    EXPECT_EQ(sim.trace(), "S R I1 S R P0,0,0");
    EXPECT_EQ(sim.wordsInFlight(), 0u);
    ASSERT_EQ(sim.messages().size(), 1u);
    EXPECT_EQ(sim.messages()[0].size, uint64_t(VX_PLANE_PIXELS));
    EXPECT_EQ(sim.messages()[0].checksum, SimulatedBoard::checksum(data.data(), data.size()));
    EXPECT_FALSE(sim.groupAssigned());
    // The driver's state outlives shutdown.
    EXPECT_EQ(driverState().pendingDataSize, uint32_t(VX_PLANE_PIXELS));
    EXPECT_EQ(lastError(), "No error");
}

TEST_F(HwTest, ShutDownFailures)
{
    initialise();
    sim.faults().failPortDissolve = true;
    EXPECT_EQ(vxHwShutDown(), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(sim.trace(), "S R I1 S R P0,0,0!");
    EXPECT_EQ(lastError(), "Cannot unconfigure group");

    EXPECT_TRUE(sim.groupAssigned());

    // A transfer that never finishes keeps the group configured.
    sim.faults().failPortDissolve = false;
    std::vector<uint32_t> data = pattern(VX_PLANE_PIXELS);
    ASSERT_EQ(send({4, 0, 0, 0, 0, 0, 0}), VX_OK);
    drain();
    sim.faults().wordsBeforeStall = 0;
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK);
    sim.clearLog();
    EXPECT_EQ(vxHwShutDown(), VX_ERR_OUTPUT_CARD);
    EXPECT_EQ(sim.trace(), "S");
    EXPECT_EQ(lastError(), "Timeout waiting for swap");
    EXPECT_TRUE(sim.groupAssigned());
}

// ---- Error texts -----------------------------------------------------------------------------

TEST_F(HwTest, ErrorTextOfEveryIndex)
{
    const char *expected[] = {
        "No error",
        "General error",
        "Timeout waiting for REQ2 to go high at start of handshake",
        "Timeout waiting for REQ2 to go low at end of handshake",
        "Timeout waiting for REQ2 to go high at end of handshake",
        "Timeout waiting for previous transfer to finish",
        "Cannot find the card",
        "Cannot get version",
        "Cannot get serial number",
        "Cannot get base address",
        "Cannot assign ports",
        "Cannot group ports",
        "Cannot reverse PCLK",
        "Cannot unconfigure group",
        "Timeout waiting for swap",
        "Cannot perform line out",
        "Cannot perform block out",
    };
    static_assert(sizeof expected / sizeof expected[0] == kErrorCount);
    for (uint32_t i = 0; i < kErrorCount; ++i) {
        driverState().lastErrorIndex = i;
        EXPECT_EQ(lastError(), expected[i]) << i;
        EXPECT_EQ(driverState().lastErrorIndex, 0u);
    }
    for (uint32_t i : {17u, 1000u, UINT32_MAX}) {
        driverState().lastErrorIndex = i;
        EXPECT_EQ(lastError(), "invlid error") << i;
        EXPECT_EQ(lastError(), "No error");
    }
}

TEST_F(HwTest, ErrorTextIsCutToTheBuffer)
{
    const struct {
        int size;
        const char *text;
    } cases[] = {{7, "Cannot"}, {1, ""}, {24, "Cannot perform line out"},
                 {25, "Cannot perform line out"}, {64, "Cannot perform line out"}};
    for (const auto &c : cases) {
        char text[80];
        std::memset(text, '#', sizeof text);
        driverState().lastErrorIndex = kLineOut;
        ASSERT_EQ(vxHwGetLastErrorString(c.size, text), VX_OK);
        EXPECT_STREQ(text, c.text) << c.size;
        for (size_t i = size_t(c.size); i < sizeof text; ++i)
            ASSERT_EQ(text[i], '#') << "byte " << i << " written with size " << c.size;
        EXPECT_EQ(driverState().lastErrorIndex, 0u);
    }
}

TEST_F(HwTest, ErrorTextRefusesBadArgumentsAndKeepsTheIndex)
{
    char text[8] = "keep";
    driverState().lastErrorIndex = kLineOut;
    EXPECT_EQ(vxHwGetLastErrorString(0, text), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxHwGetLastErrorString(-1, text), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxHwGetLastErrorString(INT_MIN, text), VX_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(vxHwGetLastErrorString(8, nullptr), VX_ERR_INVALID_ARGUMENT);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(driverState().lastErrorIndex, uint32_t(kLineOut));
    EXPECT_EQ(lastError(), "Cannot perform line out");
}

TEST_F(HwTest, LaterSuccessKeepsTheLastError)
{
    initialise();
    sim.faults().failLineOutput = {{1, 1}};
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_ERR_OUTPUT_CARD);
    sim.faults().failLineOutput.reset();
    EXPECT_EQ(send({3, 0, 0, 0, 0, 0, 0}), VX_OK);
    EXPECT_EQ(lastError(), "Cannot perform line out");
}

// ---- The default board -----------------------------------------------------------------------

TEST(HwDefaultBoard, IsASimulatedPciDio32Hs)
{
    resetDriverState();
    installBoard(nullptr);
    installClock(nullptr);
    auto &sim = static_cast<SimulatedBoard &>(board());
    char info[114];
    ASSERT_EQ(vxHwInitialize(info), VX_OK);
    EXPECT_NE(std::strstr(info, "National Instruments PCI-DIO-32HS, "), nullptr) << info;
    std::vector<uint32_t> data = pattern(100);
    const int region[VX_CMD_RECORD_INTS] = {VX_CMD_SUB_PLANE, 0, 0, 9, 9};
    ASSERT_EQ(vxHwSendCommand(region), VX_OK) << sim.trace();
    ASSERT_EQ(vxHwSendData(data.data()), VX_OK) << sim.trace();
    ASSERT_EQ(vxHwShutDown(), VX_OK) << sim.trace();

    EXPECT_TRUE(sim.violations().empty());
    ASSERT_GE(sim.messages().size(), 2u);
    EXPECT_EQ(sim.messages().back().size, 100u);
    EXPECT_EQ(sim.messages().back().words, data);
    resetDriverState();
}

} // namespace
} // namespace vx::hw::test
