// A PCI-DIO-32HS board with the display card on its far side, in software. The card answers
// the REQ2 handshake on port 4 line 3, takes the words of block outputs at a set rate of a
// clock (so the remaining count falls over time and the driver's waits really wait) and
// decodes what it receives into messages: commands with their words, data blocks with their
// sizes. It can be told to fail each way the driver must survive, and it records the calls it
// receives and every breach of the handshake it notices, for the tests to inspect. It measures
// time in microseconds, so that a board call takes no time at all and the card still keeps
// pace with a driver that queries it thousands of times a millisecond.
#pragma once

#include "board.h"
#include "clock.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vx::hw {

class SimulatedBoard final : public Board {
public:
    // What the board reports about itself.
    struct Identity {
        uint32_t driverVersion = 0x6920;
        int16_t boardType = kBoardTypePciDio32Hs;
        uint32_t serialNumber = 0x00c0ffee;
        uint32_t baseAddress = 0xfebfe000;
    };

    struct LineChange {
        int16_t line;
        int16_t state;
    };

    // Ways the board or the card can be told to fail. Counts run from the moment they are set.
    struct Faults {
        bool req2NeverRises = false; // the card holds REQ2 low
        bool req2NeverFalls = false; // the card holds REQ2 high
        std::optional<LineChange> failLineOutput; // every such line change fails
        // Block outputs that still succeed before every further one fails; negative: never.
        int64_t blockOutputsBeforeFailure = -1;
        // Words the card still takes before it stops taking any (0: it never begins to take a
        // block); negative: never stops.
        int64_t wordsBeforeStall = -1;
        bool failDriverVersion = false;
        bool failBoardType = false; // the query fails and writes no code
        bool failSerialNumber = false;
        bool failBaseAddress = false;
        bool failPortAssignment = false; // assigning the ports of the group
        bool failPortDissolve = false;   // dissolving the group
        bool failPortGrouping = false;
        bool failParameterWrite = false;
    };

    enum class MessageKind {
        Command,     // words after a handshake on the command strobe
        Data,        // words after a handshake on the data strobe
        Unannounced, // words that arrived without a handshake
    };

    // One transmission as the card decoded it.
    struct Message {
        MessageKind kind = MessageKind::Command;
        uint64_t size = 0;        // words received
        uint64_t checksum = 0;    // checksum() of all of them
        std::vector<uint32_t> words; // the first kKeptWords of them
    };

    // One call the board received; consecutive status queries, and consecutive REQ2 reads
    // giving the same level, are one event with a repeat count.
    enum class Op {
        Status, Release, BlockOutput, LineOutput, LineInput, DriverVersion, BoardType,
        DeviceInformation, PortAssignment, PortGrouping, ParameterWrite,
        CardReset, // not a call: the card saw both strobes high and reset itself
    };
    struct Event {
        Op op;
        int64_t args[5] = {};
        bool failed = false;
        uint64_t repeats = 1;
    };

    static constexpr size_t kKeptWords = 4096;
    static constexpr size_t kMaxMessages = 256;
    static constexpr size_t kMaxEvents = 65536;
    // Words a millisecond the card takes unless told otherwise: about the speed of the card.
    static constexpr uint32_t kDefaultRate = 20000;

    explicit SimulatedBoard(Clock &clock = systemClock()) noexcept;

    // ---- Configuration ---------------------------------------------------------------------
    Identity &identity() noexcept { return identity_; }
    Faults &faults() noexcept { return faults_; }
    void setRate(uint32_t wordsPerMillisecond) noexcept { rate_ = wordsPerMillisecond; }
    // Milliseconds the card waits before it begins to take a block output started while the
    // group was idle.
    void setStartDelay(uint32_t milliseconds) noexcept { startDelay_ = milliseconds; }
    // REQ2 reads that still give the old level after the card changes it.
    void setReq2Latency(uint32_t reads) noexcept { req2Latency_ = reads; }

    // ---- Inspection ------------------------------------------------------------------------
    const std::deque<Message> &messages() const noexcept { return messages_; }
    const std::deque<Event> &events() const noexcept { return events_; }
    // The events as one line of tokens: S status, R release, B<n> block output of n words,
    // L<line>=<state> line output, I<level> REQ2 read, V version, T board type, D<id> device
    // information, P<size>,<port>,<dir> port assignment, G<mode>,... grouping, W<p>=<v>
    // parameter write, X card reset; "!" after a call that failed.
    std::string trace() const;
    // Breaches of the handshake or of the board's use, one text each; empty when the driver
    // behaved.
    const std::vector<std::string> &violations() const noexcept { return violations_; }
    // Words of the started block outputs not yet taken, as of the card's last activity.
    uint64_t wordsInFlight() const noexcept;
    bool groupAssigned() const noexcept { return groupAssigned_; }
    bool groupModeSet() const noexcept { return groupModeSet_; }
    bool clockReversed() const noexcept { return clockReversed_; }
    int16_t line(int16_t number) const noexcept { return lines_[number & 7]; }
    // Forgets the recorded events, violations and messages, all but a message whose words are
    // still on their way.
    void clearLog() noexcept;

    // The checksum of Message: 64-bit FNV-1a over the words' values.
    static uint64_t checksum(const uint32_t *words, size_t count) noexcept;

    // ---- Board -----------------------------------------------------------------------------
    BoardStatus blockTransferStatus(int16_t device, int16_t group,
                                    uint32_t *remaining) noexcept override;
    BoardStatus blockTransferRelease(int16_t device, int16_t group) noexcept override;
    BoardStatus blockOutput(int16_t device, int16_t group, const uint32_t *words,
                            uint32_t count) noexcept override;
    BoardStatus lineOutput(int16_t device, int16_t port, int16_t line,
                           int16_t state) noexcept override;
    BoardStatus lineInput(int16_t device, int16_t port, int16_t line,
                          int16_t *state) noexcept override;
    BoardStatus driverVersion(uint32_t *version) noexcept override;
    BoardStatus boardType(int16_t device, int16_t *code) noexcept override;
    BoardStatus deviceInformation(int16_t device, uint32_t id,
                                  uint32_t *value) noexcept override;
    BoardStatus portAssignment(int16_t device, int16_t group, int16_t groupSize, int16_t port,
                               int16_t direction) noexcept override;
    BoardStatus portGrouping(int16_t device, int16_t group, int16_t mode, int16_t a, int16_t b,
                             int16_t c, int16_t d) noexcept override;
    BoardStatus deviceParameterWrite(int16_t device, uint32_t parameter,
                                     uint32_t value) noexcept override;

private:
    struct Segment {
        const uint32_t *words;
        uint32_t count;
        uint32_t taken;
    };
    // Where the card stands in the handshake for the next message.
    enum class Handshake {
        Idle,         // no message announced
        StrobeRaised, // a strobe is up; the card lowers REQ2 to acknowledge
        Ready,        // the strobe is down again; the card takes the message's words
        Reset,        // both strobes were up: the card resets until both are down
    };

    void advance() noexcept;
    void receive(const uint32_t *words, uint32_t count);
    void openMessage(MessageKind kind);
    void record(Op op, std::initializer_list<int64_t> args, bool failed);
    void violation(const char *what);
    int16_t visibleReq2() const noexcept;
    void setReq2(int16_t level) noexcept;
    void onStrobe(int16_t line, int16_t state);
    bool addressedRight(int16_t device, int16_t group, const char *op);

    Clock &clock_;
    Identity identity_;
    Faults faults_;
    uint32_t rate_ = kDefaultRate;
    uint32_t startDelay_ = 0;
    uint32_t req2Latency_ = 0;

    // Board side.
    std::deque<Segment> segments_;
    uint64_t lastAdvance_ = 0; // microseconds of the clock
    uint64_t holdLeft_ = 0;    // microseconds before the card begins to take the first segment
    uint64_t partialWord_ = 0; // thousandths of a word taken beyond the whole words
    int16_t lines_[8] = {};
    bool groupAssigned_ = false;
    bool groupModeSet_ = false;
    bool clockReversed_ = false;

    // Card side.
    Handshake handshake_ = Handshake::Idle;
    bool raisedWhileBusy_ = false;      // the strobe went up while REQ2 was low
    bool raisedDuringTransfer_ = false; // ... or while a block output was running
    int16_t req2_ = 1;       // the level the card drives
    int16_t req2Target_ = 1; // the level it is changing to
    uint32_t req2ReadsLeft_ = 0;

    std::deque<Message> messages_;
    bool messageOpen_ = false;
    std::deque<Event> events_;
    std::vector<std::string> violations_;
};

} // namespace vx::hw
