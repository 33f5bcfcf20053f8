// The simulated board and its display card. Time-based: the card takes rate x elapsed
// milliseconds of words whenever the board is called, so a transfer progresses only as the
// clock moves, and a clock that tests step by hand makes every run alike.
#include "simulated_board.h"

#include <algorithm>
#include <cstdio>

namespace vx::hw {

namespace {

// The status the board gives for a failing or refused call.
constexpr BoardStatus kFailure = -10003;

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

uint64_t mix(uint64_t hash, uint32_t word) noexcept
{
    for (int byte = 0; byte < 4; ++byte) {
        hash ^= (word >> (8 * byte)) & 0xffu;
        hash *= kFnvPrime;
    }
    return hash;
}

} // namespace

SimulatedBoard::SimulatedBoard(Clock &clock) noexcept : clock_(clock)
{
    lastAdvance_ = clock_.microseconds();
}

uint64_t SimulatedBoard::checksum(const uint32_t *words, size_t count) noexcept
{
    uint64_t hash = kFnvOffset;
    for (size_t i = 0; i < count; ++i)
        hash = mix(hash, words[i]);
    return hash;
}

uint64_t SimulatedBoard::wordsInFlight() const noexcept
{
    uint64_t total = 0;
    for (const Segment &s : segments_)
        total += s.count - s.taken;
    return total;
}

void SimulatedBoard::clearLog() noexcept
{
    events_.clear();
    violations_.clear();
    // A message whose words are still on their way stays, so that they keep their place.
    if (messageOpen_ && !segments_.empty()) {
        Message current = std::move(messages_.back());
        messages_.clear();
        messages_.push_back(std::move(current));
    } else {
        messages_.clear();
        messageOpen_ = false;
    }
}

// ---- Recording -------------------------------------------------------------------------------

void SimulatedBoard::record(Op op, std::initializer_list<int64_t> args, bool failed)
{
    Event event{op};
    std::copy_n(args.begin(), std::min<size_t>(args.size(), 5), event.args);
    event.failed = failed;
    if (!events_.empty()) {
        Event &last = events_.back();
        bool sameRead = op == Op::LineInput && last.op == Op::LineInput &&
                        last.args[0] == event.args[0];
        if ((op == Op::Status && last.op == Op::Status) || sameRead) {
            ++last.repeats;
            last.failed = last.failed || failed;
            return;
        }
    }
    if (events_.size() == kMaxEvents)
        events_.pop_front();
    events_.push_back(event);
}

void SimulatedBoard::violation(const char *what)
{
    if (violations_.size() < 1000)
        violations_.emplace_back(what);
}

std::string SimulatedBoard::trace() const
{
    std::string out;
    char token[96];
    for (const Event &e : events_) {
        const auto *a = e.args;
        switch (e.op) {
        case Op::Status: std::snprintf(token, sizeof token, "S"); break;
        case Op::Release: std::snprintf(token, sizeof token, "R"); break;
        case Op::BlockOutput: std::snprintf(token, sizeof token, "B%lld", (long long)a[0]); break;
        case Op::LineOutput:
            std::snprintf(token, sizeof token, "L%lld=%lld", (long long)a[0], (long long)a[1]);
            break;
        case Op::LineInput: std::snprintf(token, sizeof token, "I%lld", (long long)a[0]); break;
        case Op::DriverVersion: std::snprintf(token, sizeof token, "V"); break;
        case Op::BoardType: std::snprintf(token, sizeof token, "T"); break;
        case Op::DeviceInformation:
            std::snprintf(token, sizeof token, "D%lld", (long long)a[0]);
            break;
        case Op::PortAssignment:
            std::snprintf(token, sizeof token, "P%lld,%lld,%lld", (long long)a[0],
                          (long long)a[1], (long long)a[2]);
            break;
        case Op::PortGrouping:
            std::snprintf(token, sizeof token, "G%lld,%lld,%lld,%lld,%lld", (long long)a[0],
                          (long long)a[1], (long long)a[2], (long long)a[3], (long long)a[4]);
            break;
        case Op::ParameterWrite:
            std::snprintf(token, sizeof token, "W%lld=%lld", (long long)a[0], (long long)a[1]);
            break;
        case Op::CardReset: std::snprintf(token, sizeof token, "X"); break;
        }
        if (!out.empty())
            out += ' ';
        out += token;
        if (e.failed)
            out += '!';
    }
    return out;
}

// ---- The card taking words -------------------------------------------------------------------

void SimulatedBoard::advance() noexcept
{
    uint64_t now = clock_.microseconds();
    uint64_t elapsed = now > lastAdvance_ ? now - lastAdvance_ : 0;
    lastAdvance_ = now;
    if (segments_.empty())
        return;
    uint64_t held = std::min(holdLeft_, elapsed);
    holdLeft_ -= held;
    elapsed -= held;

    // rate_ words a millisecond; an hour at most at once keeps the product inside 64 bits.
    elapsed = std::min<uint64_t>(elapsed, 3600000000ull);
    uint64_t thousandths = elapsed * rate_ + partialWord_;
    uint64_t budget = thousandths / 1000;
    partialWord_ = thousandths % 1000;
    if (faults_.wordsBeforeStall >= 0)
        budget = std::min<uint64_t>(budget, uint64_t(faults_.wordsBeforeStall));
    try {
        while (budget > 0 && !segments_.empty()) {
            Segment &s = segments_.front();
            uint32_t n = uint32_t(std::min<uint64_t>(budget, s.count - s.taken));
            receive(s.words + s.taken, n);
            s.taken += n;
            budget -= n;
            if (faults_.wordsBeforeStall >= 0)
                faults_.wordsBeforeStall -= n;
            if (s.taken == s.count)
                segments_.pop_front();
        }
    } catch (...) {
        // Only the log can fail to grow; the transfer itself has moved on regardless.
    }
}

void SimulatedBoard::openMessage(MessageKind kind)
{
    if (messages_.size() == kMaxMessages)
        messages_.pop_front();
    Message m;
    m.kind = kind;
    m.checksum = kFnvOffset;
    messages_.push_back(std::move(m));
    messageOpen_ = true;
}

void SimulatedBoard::receive(const uint32_t *words, uint32_t count)
{
    if (count == 0)
        return;
    if (!messageOpen_) {
        violation("words arrived without a handshake");
        openMessage(MessageKind::Unannounced);
    }
    Message &m = messages_.back();
    uint64_t hash = m.checksum;
    for (uint32_t i = 0; i < count; ++i)
        hash = mix(hash, words[i]);
    m.checksum = hash;
    if (m.words.size() < kKeptWords) {
        size_t keep = std::min<size_t>(kKeptWords - m.words.size(), count);
        m.words.insert(m.words.end(), words, words + keep);
    }
    m.size += count;
}

// ---- The card's handshake --------------------------------------------------------------------

int16_t SimulatedBoard::visibleReq2() const noexcept
{
    if (faults_.req2NeverRises)
        return 0;
    if (faults_.req2NeverFalls)
        return 1;
    return req2_;
}

void SimulatedBoard::setReq2(int16_t level) noexcept
{
    req2Target_ = level;
    req2ReadsLeft_ = req2Latency_;
    if (req2Latency_ == 0)
        req2_ = level;
}

void SimulatedBoard::onStrobe(int16_t line, int16_t state)
{
    bool commandUp = lines_[kCommandStrobeLine] != 0;
    bool dataUp = lines_[kDataStrobeLine] != 0;

    if (handshake_ == Handshake::Reset) {
        if (!commandUp && !dataUp) {
            handshake_ = Handshake::Idle;
            setReq2(1);
        }
        return;
    }
    if (commandUp && dataUp) {
        // Both strobes up: the card drops what it was receiving and starts afresh.
        record(Op::CardReset, {}, false);
        if (messageOpen_ && messages_.back().size == 0)
            messages_.pop_back();
        messageOpen_ = false;
        raisedWhileBusy_ = false;
        raisedDuringTransfer_ = false;
        handshake_ = Handshake::Reset;
        return;
    }
    if (state == 1) {
        // Judged when the strobe comes down again: a global reset raises it regardless.
        raisedDuringTransfer_ = !segments_.empty();
        raisedWhileBusy_ = visibleReq2() != 1;
        openMessage(line == kCommandStrobeLine ? MessageKind::Command : MessageKind::Data);
        handshake_ = Handshake::StrobeRaised;
        setReq2(0);
    } else {
        if (handshake_ != Handshake::StrobeRaised)
            return;
        if (raisedDuringTransfer_)
            violation("strobe raised while a block output was still running");
        if (raisedWhileBusy_)
            violation("strobe raised while the card was not ready");
        if (visibleReq2() != 0)
            violation("strobe lowered before the card acknowledged it");
        handshake_ = Handshake::Ready;
        setReq2(1);
    }
}

// ---- Board operations ------------------------------------------------------------------------

bool SimulatedBoard::addressedRight(int16_t device, int16_t group, const char *op)
{
    if (device == kDevice && group == kGroup)
        return true;
    std::string what = std::string(op) + " addressed to another device or group";
    if (violations_.size() < 1000)
        violations_.push_back(what);
    return false;
}

BoardStatus SimulatedBoard::blockTransferStatus(int16_t device, int16_t group,
                                                uint32_t *remaining) noexcept
{
    try {
        advance();
        bool ok = addressedRight(device, group, "block-transfer status") && remaining;
        if (ok)
            *remaining = uint32_t(std::min<uint64_t>(wordsInFlight(), UINT32_MAX));
        record(Op::Status, {}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::blockTransferRelease(int16_t device, int16_t group) noexcept
{
    try {
        advance();
        bool ok = addressedRight(device, group, "block-transfer release");
        if (ok && !segments_.empty()) {
            violation("block transfer released while words were still to go");
            segments_.clear();
        }
        record(Op::Release, {}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::blockOutput(int16_t device, int16_t group, const uint32_t *words,
                                        uint32_t count) noexcept
{
    try {
        advance();
        bool ok = addressedRight(device, group, "block output") && words && count > 0;
        if (ok && !(groupAssigned_ && groupModeSet_)) {
            violation("block output on a group that is not configured");
            ok = false;
        }
        if (ok && faults_.blockOutputsBeforeFailure == 0)
            ok = false;
        if (ok) {
            if (faults_.blockOutputsBeforeFailure > 0)
                --faults_.blockOutputsBeforeFailure;
            if (handshake_ != Handshake::Ready)
                violation("block output without a completed handshake");
            if (segments_.empty()) {
                holdLeft_ = uint64_t(startDelay_) * 1000;
                partialWord_ = 0;
            }
            segments_.push_back(Segment{words, count, 0});
        }
        record(Op::BlockOutput, {int64_t(count)}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::lineOutput(int16_t device, int16_t port, int16_t line,
                                       int16_t state) noexcept
{
    try {
        advance();
        bool ok = device == kDevice && port == kControlPort && line >= 0 && line < 8 &&
                  (state == 0 || state == 1);
        if (ok && faults_.failLineOutput && faults_.failLineOutput->line == line &&
            faults_.failLineOutput->state == state)
            ok = false;
        record(Op::LineOutput, {line, state}, !ok);
        if (!ok)
            return kFailure;
        bool changed = lines_[line] != state;
        lines_[line] = state;
        if (changed && (line == kCommandStrobeLine || line == kDataStrobeLine))
            onStrobe(line, state);
        return 0;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::lineInput(int16_t device, int16_t port, int16_t line,
                                      int16_t *state) noexcept
{
    try {
        bool ok = device == kDevice && port == kControlPort && line == kReq2Line && state;
        int16_t level = 0;
        if (ok) {
            if (req2ReadsLeft_ > 0)
                --req2ReadsLeft_;
            else
                req2_ = req2Target_;
            level = visibleReq2();
            *state = level;
        }
        record(Op::LineInput, {level}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::driverVersion(uint32_t *version) noexcept
{
    try {
        bool ok = version && !faults_.failDriverVersion;
        if (ok)
            *version = identity_.driverVersion;
        record(Op::DriverVersion, {}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::boardType(int16_t device, int16_t *code) noexcept
{
    try {
        bool ok = device == kDevice && code && !faults_.failBoardType;
        if (ok)
            *code = identity_.boardType;
        record(Op::BoardType, {}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::deviceInformation(int16_t device, uint32_t id,
                                              uint32_t *value) noexcept
{
    try {
        bool ok = device == kDevice && value;
        if (ok && id == kInfoSerialNumber && !faults_.failSerialNumber)
            *value = identity_.serialNumber;
        else if (ok && id == kInfoBaseAddress && !faults_.failBaseAddress)
            *value = identity_.baseAddress;
        else
            ok = false;
        record(Op::DeviceInformation, {int64_t(id)}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::portAssignment(int16_t device, int16_t group, int16_t groupSize,
                                           int16_t port, int16_t direction) noexcept
{
    try {
        advance();
        bool ok = addressedRight(device, group, "port assignment");
        bool assign = groupSize == 4 && port == 0 && direction == 1;
        bool dissolve = groupSize == 0 && port == 0 && direction == 0;
        if (ok && assign && !faults_.failPortAssignment) {
            groupAssigned_ = true;
        } else if (ok && dissolve && !faults_.failPortDissolve) {
            if (!segments_.empty())
                violation("port group dissolved while a block output was still running");
            groupAssigned_ = false;
            groupModeSet_ = false;
        } else {
            ok = false;
        }
        record(Op::PortAssignment, {groupSize, port, direction}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::portGrouping(int16_t device, int16_t group, int16_t mode, int16_t a,
                                         int16_t b, int16_t c, int16_t d) noexcept
{
    try {
        bool ok = addressedRight(device, group, "port grouping") && groupAssigned_ &&
                  mode == 3 && a == 0 && b == 0 && c == 0 && d == 0 &&
                  !faults_.failPortGrouping;
        if (ok)
            groupModeSet_ = true;
        record(Op::PortGrouping, {mode, a, b, c, d}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

BoardStatus SimulatedBoard::deviceParameterWrite(int16_t device, uint32_t parameter,
                                                 uint32_t value) noexcept
{
    try {
        bool ok = device == kDevice && parameter == kParamClockLine &&
                  value == kParamClockReversed && !faults_.failParameterWrite;
        if (ok)
            clockReversed_ = true;
        record(Op::ParameterWrite, {int64_t(parameter), int64_t(value)}, !ok);
        return ok ? 0 : kFailure;
    } catch (...) {
        return kFailure;
    }
}

} // namespace vx::hw
