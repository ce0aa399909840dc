// The substitute driver QRWNTPS2.sys as the programs see it: the requests of the channel, the
// simulation requests, and the state it shares between processes. Needs the test bed's driver.
// Output buffers are filled with kSentinel first, so that every byte the driver wrote shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "tests/driver/qrsimclient.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kSentinel = 0xEE;
constexpr DWORD kPeerTimeoutMs = 30000;

// GET_SETTINGS of a freshly loaded (or reset) driver.
const Bytes kInitialBlock = {
    0xA5, 0x5A, 0xC3, 0x01,       // reserved0, detectedComPort
    0xF8, 0x03, 0x04, 0x71,       // COM1: ioBase 0x3F8, irq 4, spare
    0x00, 0x00, 0x00, 0x72,       // COM2
    0x00, 0x00, 0x00, 0x73,       // COM3
    0x00, 0x00, 0x00, 0x74,       // COM4
    0x04, 0x01, 0x3F, 0x00,       // buttonMode, feedbackSound, sensitivity, bypassMode
    0x0A, 0x0A, 0x01, 0x00,       // hSpeed, vSpeed, acceleration, powerDownTime
    0x3C, 0x00,                   // reserved28, rightButtonFunction
    0x00, 0x00, 0xFF, 0x03,       // calLeft 0, calRight 1023
    0x00, 0x00, 0xFF, 0x03,       // calTop 0, calBottom 1023
    0x00, 0x04, 0x00, 0x03,       // screenWidth 1024, screenHeight 768
    0x01, 0x12, 'K', '5', '2', '0'};  // mcuMode, mcuVersion, mcuCode
// GET_RBF_WINDOW of a fresh driver: no tool (-1), not armed, spare bytes.
const Bytes kInitialRbf = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x5E, 0xE5};

template <typename T>
Bytes BytesOf(const T& value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    return Bytes(p, p + sizeof value);
}

// Every byte different from the block the driver holds, so any byte taken over shows.
Bytes Inverted(const Bytes& bytes) {
    Bytes out(bytes);
    for (uint8_t& b : out) b = static_cast<uint8_t>(~b);
    return out;
}

struct Answer {
    bool ok;
    DWORD error;
    DWORD returned;
    Bytes out;
};

Answer Ask(DWORD code, const Bytes& in, DWORD outSize) {
    Answer a{false, 0, 0, Bytes(outSize, kSentinel)};
    SetLastError(0);
    a.ok = SimRequest(code, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                      outSize ? a.out.data() : nullptr, outSize, &a.returned);
    a.error = a.ok ? 0 : GetLastError();
    return a;
}

Bytes Settings() {
    Answer a = Ask(IOCTL_TOUCH_GET_SETTINGS, Bytes(sizeof(TouchSettingsBlock)), sizeof(TouchSettingsBlock));
    EXPECT_TRUE(a.ok) << "GET_SETTINGS, error " << a.error;
    return a.out;
}

Bytes RbfRecord() {
    Answer a = Ask(IOCTL_TOUCH_GET_RBF_WINDOW, Bytes(sizeof(RbfWindowRecord)), sizeof(RbfWindowRecord));
    EXPECT_TRUE(a.ok) << "GET_RBF_WINDOW, error " << a.error;
    return a.out;
}

SimState State() {
    SimState s;
    std::memset(&s, kSentinel, sizeof s);
    EXPECT_TRUE(SimGetState(&s)) << "SIM_GET_STATE, error " << GetLastError();
    return s;
}

void SetRbfRecord(const Bytes& record) {
    Answer a = Ask(IOCTL_TOUCH_SET_RBF_WINDOW, record, sizeof(RbfWindowRecord));
    ASSERT_TRUE(a.ok) << "SET_RBF_WINDOW, error " << a.error;
}

void SetFeedbackSound(uint8_t sound) {
    Bytes block = Settings();
    block[offsetof(TouchSettingsBlock, feedbackSound)] = sound;
    ASSERT_TRUE(Ask(IOCTL_TOUCH_SET_FEEDBACK_SOUND, block, sizeof(TouchSettingsBlock)).ok);
}

// Every test starts from a reset driver.
class Driver : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SimReset()) << "no driver: error " << GetLastError(); }
};

// ---- the ten requests, table-driven ----

struct Request {
    const char* name;
    DWORD code;
    QrRequestIndex index;
    DWORD size;   // record size, in and out
    bool logged;  // polled requests are only counted
};

const Request kRequests[] = {
    {"GetSettings", IOCTL_TOUCH_GET_SETTINGS, QR_REQ_GET_SETTINGS, sizeof(TouchSettingsBlock), true},
    {"GetRawSample", IOCTL_TOUCH_GET_RAW_SAMPLE, QR_REQ_GET_RAW_SAMPLE, sizeof(TouchRawSample), false},
    {"CalibrationSignal", IOCTL_TOUCH_CALIBRATION_SIGNAL, QR_REQ_CALIBRATION_SIGNAL, sizeof(TouchCalibrationSignal),
     true},
    {"SetButtonMode", IOCTL_TOUCH_SET_BUTTON_MODE, QR_REQ_SET_BUTTON_MODE, sizeof(TouchSettingsBlock), true},
    {"SetFeedbackSound", IOCTL_TOUCH_SET_FEEDBACK_SOUND, QR_REQ_SET_FEEDBACK_SOUND, sizeof(TouchSettingsBlock), true},
    {"SetMouseSpeed", IOCTL_TOUCH_SET_MOUSE_SPEED, QR_REQ_SET_MOUSE_SPEED, sizeof(TouchSettingsBlock), true},
    {"SetCalibration", IOCTL_TOUCH_SET_CALIBRATION, QR_REQ_SET_CALIBRATION, sizeof(TouchSettingsBlock), true},
    {"SetScreenSize", IOCTL_TOUCH_SET_SCREEN_SIZE, QR_REQ_SET_SCREEN_SIZE, sizeof(TouchSettingsBlock), true},
    {"GetRbfWindow", IOCTL_TOUCH_GET_RBF_WINDOW, QR_REQ_GET_RBF_WINDOW, sizeof(RbfWindowRecord), false},
    {"SetRbfWindow", IOCTL_TOUCH_SET_RBF_WINDOW, QR_REQ_SET_RBF_WINDOW, sizeof(RbfWindowRecord), true},
};

void PrintTo(const Request& r, std::ostream* os) { *os << r.name; }

class EveryRequest : public Driver, public ::testing::WithParamInterface<Request> {
protected:
    // An input of size bytes that would change state if the driver took it.
    Bytes Input(DWORD size) const {
        Bytes in = Inverted(GetParam().size == sizeof(RbfWindowRecord) ? kInitialRbf : kInitialBlock);
        in.resize(size, 0x42);
        return in;
    }

    void ExpectStateUntouched() {
        const SimState s = State();
        EXPECT_EQ(BytesOf(s.block), kInitialBlock);
        EXPECT_EQ(BytesOf(s.rbf), kInitialRbf);
        EXPECT_EQ(BytesOf(s.raw), Bytes(sizeof(TouchRawSample), 0));
    }
};

TEST_P(EveryRequest, ShortBuffersAreRejectedAndChangeNothing) {
    const Request& r = GetParam();
    const struct {
        DWORD in, out;
    } shapes[] = {{r.size - 1, r.size}, {r.size, r.size - 1}, {0, r.size}, {r.size, 0}, {0, 0}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE("in " + std::to_string(shape.in) + ", out " + std::to_string(shape.out));
        const Answer a = Ask(r.code, Input(shape.in), shape.out);
        EXPECT_FALSE(a.ok);
        EXPECT_EQ(a.error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(a.returned, 0u);
        EXPECT_EQ(a.out, Bytes(shape.out, kSentinel));
    }
    ExpectStateUntouched();
}

TEST_P(EveryRequest, LargerBuffersGetTheRecordOnly) {
    const Request& r = GetParam();
    const DWORD larger = r.size + 16;
    const Answer a = Ask(r.code, Bytes(larger, 0), larger);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.returned, r.size);
    EXPECT_EQ(Bytes(a.out.begin() + r.size, a.out.end()), Bytes(16, kSentinel));
}

TEST_P(EveryRequest, FailingModeFailsAndChangesNothing) {
    const Request& r = GetParam();
    ASSERT_TRUE(SimReset(SIM_RESET_FAIL_REQUESTS));
    const Answer a = Ask(r.code, Input(r.size), r.size);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(a.returned, 0u);
    EXPECT_EQ(a.out, Bytes(r.size, kSentinel));
    ExpectStateUntouched();
    // Failed requests still show in the counters: tests see what the programs sent.
    EXPECT_EQ(State().requestCounts[r.index], 1u);
}

TEST_P(EveryRequest, IsCountedAndLoggedUnlessPolled) {
    const Request& r = GetParam();
    const Bytes in = Input(r.size);
    ASSERT_TRUE(Ask(r.code, in, r.size).ok);
    const SimState s = State();
    for (int i = 0; i < QR_REQUEST_COUNT; i++) EXPECT_EQ(s.requestCounts[i], i == r.index ? 1u : 0u) << "counter " << i;

    const std::vector<SimLogEntry> log = SimLogEntries();
    if (!r.logged) {
        EXPECT_TRUE(log.empty());
        return;
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, r.code);
    EXPECT_EQ(log[0].inputLength, r.size);
    Bytes padded = in;
    padded.resize(SIM_LOG_INPUT_BYTES, 0);
    EXPECT_EQ(BytesOf(log[0].input), padded);
}

INSTANTIATE_TEST_SUITE_P(Driver, EveryRequest, ::testing::ValuesIn(kRequests),
                         [](const ::testing::TestParamInfo<Request>& info) { return std::string(info.param.name); });

// ---- the initial state ----

TEST_F(Driver, GetSettingsReturnsTheInitialBlockByteForByte) {
    const Answer a = Ask(IOCTL_TOUCH_GET_SETTINGS, Bytes(sizeof(TouchSettingsBlock), 0), sizeof(TouchSettingsBlock));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.returned, sizeof(TouchSettingsBlock));
    EXPECT_EQ(a.out, kInitialBlock);
}

TEST_F(Driver, StartsWithoutToolSampleOrCounts) {
    const SimState s = State();
    EXPECT_EQ(BytesOf(s.rbf), kInitialRbf);
    EXPECT_EQ(BytesOf(s.raw), Bytes(sizeof(TouchRawSample), 0));
    EXPECT_EQ(s.rightClicks, 0u);
    for (uint32_t count : s.requestCounts) EXPECT_EQ(count, 0u);
    SimLog log;
    std::memset(&log, kSentinel, sizeof log);
    ASSERT_TRUE(SimGetLog(&log));
    EXPECT_EQ(log.total, 0u);
    EXPECT_EQ(log.count, 0u);
    EXPECT_EQ(BytesOf(log.entries), Bytes(sizeof log.entries, 0));
}

// ---- the "set" requests ----

struct FieldRange {
    size_t offset, width;
};

struct SetRequest {
    const char* name;
    DWORD code;
    std::vector<FieldRange> fields;  // what the driver takes over
};

const SetRequest kSetRequests[] = {
    {"ButtonMode", IOCTL_TOUCH_SET_BUTTON_MODE,
     {{offsetof(TouchSettingsBlock, buttonMode), 1}, {offsetof(TouchSettingsBlock, rightButtonFunction), 1}}},
    {"FeedbackSound", IOCTL_TOUCH_SET_FEEDBACK_SOUND, {{offsetof(TouchSettingsBlock, feedbackSound), 1}}},
    {"MouseSpeed", IOCTL_TOUCH_SET_MOUSE_SPEED,
     {{offsetof(TouchSettingsBlock, bypassMode), 1},
      {offsetof(TouchSettingsBlock, hSpeed), 1},
      {offsetof(TouchSettingsBlock, vSpeed), 1},
      {offsetof(TouchSettingsBlock, acceleration), 1}}},
    {"Calibration", IOCTL_TOUCH_SET_CALIBRATION,
     {{offsetof(TouchSettingsBlock, calLeft), 2},
      {offsetof(TouchSettingsBlock, calRight), 2},
      {offsetof(TouchSettingsBlock, calTop), 2},
      {offsetof(TouchSettingsBlock, calBottom), 2}}},
    {"ScreenSize", IOCTL_TOUCH_SET_SCREEN_SIZE,
     {{offsetof(TouchSettingsBlock, screenWidth), 2}, {offsetof(TouchSettingsBlock, screenHeight), 2}}},
};

void PrintTo(const SetRequest& r, std::ostream* os) { *os << r.name; }

class SetRequests : public Driver, public ::testing::WithParamInterface<SetRequest> {
protected:
    // The initial block with the request's own fields taken from sent.
    Bytes Expected(const Bytes& sent) const {
        Bytes expected = kInitialBlock;
        for (const FieldRange& f : GetParam().fields)
            std::memcpy(&expected[f.offset], &sent[f.offset], f.width);
        return expected;
    }
};

TEST_P(SetRequests, TakeExactlyTheirFieldsAndReturnTheBlockSent) {
    const Bytes sent = Inverted(kInitialBlock);
    const Answer a = Ask(GetParam().code, sent, sizeof(TouchSettingsBlock));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.returned, sizeof(TouchSettingsBlock));
    EXPECT_EQ(a.out, sent);
    EXPECT_EQ(Settings(), Expected(sent));
}

TEST_P(SetRequests, NoOutputModeReturnsNothingButTakesTheFields) {
    ASSERT_TRUE(SimReset(SIM_RESET_SET_NO_OUTPUT));
    const Bytes sent = Inverted(kInitialBlock);
    const Answer a = Ask(GetParam().code, sent, sizeof(TouchSettingsBlock));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.returned, 0u);
    EXPECT_EQ(a.out, Bytes(sizeof(TouchSettingsBlock), kSentinel));
    EXPECT_EQ(Settings(), Expected(sent));
}

INSTANTIATE_TEST_SUITE_P(Driver, SetRequests, ::testing::ValuesIn(kSetRequests),
                         [](const ::testing::TestParamInfo<SetRequest>& info) { return std::string(info.param.name); });

TEST_F(Driver, NoOutputModeLeavesTheOtherRequestsAnswering) {
    ASSERT_TRUE(SimReset(SIM_RESET_SET_NO_OUTPUT));
    EXPECT_EQ(Settings(), kInitialBlock);
    const Bytes record = {0x10, 0x20, 0x30, 0x40, 0x01, 0x00, 0x12, 0x34};
    const Answer a = Ask(IOCTL_TOUCH_SET_RBF_WINDOW, record, sizeof(RbfWindowRecord));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.out, record);
}

// The bytes nobody interprets are the driver's own and survive any "set".
TEST_F(Driver, ReservedBytesComeBackAsTheDriverHoldsThem) {
    for (const SetRequest& r : kSetRequests)
        ASSERT_TRUE(Ask(r.code, Inverted(kInitialBlock), sizeof(TouchSettingsBlock)).ok) << r.name;
    const Bytes block = Settings();
    for (size_t offset : {0, 1, 2, 7, 11, 15, 19, 28})
        EXPECT_EQ(block[offset], kInitialBlock[offset]) << "byte " << offset;
}

// ---- the right-button tool's record ----

TEST_F(Driver, RbfRecordIsStoredAsSent) {
    const Bytes records[] = {{0x78, 0x56, 0x34, 0x12, 0x01, 0x00, 0x12, 0x34},
                             {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00},
                             {0x01, 0x00, 0x00, 0x80, 0x07, 0x80, 0xAB, 0xCD}};
    for (const Bytes& record : records) {
        const Answer a = Ask(IOCTL_TOUCH_SET_RBF_WINDOW, record, sizeof(RbfWindowRecord));
        ASSERT_TRUE(a.ok);
        EXPECT_EQ(a.returned, sizeof(RbfWindowRecord));
        EXPECT_EQ(a.out, record);
        EXPECT_EQ(RbfRecord(), record);
    }
    EXPECT_EQ(BytesOf(State().block), kInitialBlock);
}

// ---- touch reports and the right-button click ----

TEST_F(Driver, ReportsFillTheRawSample) {
    ASSERT_TRUE(SimReport(321, 654, true));
    Answer a = Ask(IOCTL_TOUCH_GET_RAW_SAMPLE, Bytes(sizeof(TouchRawSample)), sizeof(TouchRawSample));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.out, (Bytes{0x41, 0x01, 0x8E, 0x02, QR_STATUS_TOUCHED, 0x00, 0x01, 0x00}));

    ASSERT_TRUE(SimReport(1023, 0, false));
    a = Ask(IOCTL_TOUCH_GET_RAW_SAMPLE, Bytes(sizeof(TouchRawSample)), sizeof(TouchRawSample));
    EXPECT_EQ(a.out, (Bytes{0xFF, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00}));
}

TEST_F(Driver, EveryReportChangesTheSequence) {
    int16_t last = State().raw.sequence;
    for (int i = 0; i < 5; i++) {
        ASSERT_TRUE(SimReport(500, 500, true));  // the same touch again is still a new report
        const int16_t now = State().raw.sequence;
        EXPECT_NE(now, last);
        last = now;
    }
}

TEST_F(Driver, ArmedTouchBecomesOneRightClick) {
    const Bytes armed = {0x34, 0x12, 0x00, 0x00, 0x01, 0x00, 0x12, 0x34};
    SetRbfRecord(armed);
    bool clicked = true;

    ASSERT_TRUE(SimReport(10, 10, false, &clicked));
    EXPECT_FALSE(clicked) << "a lift-off is no touch";
    EXPECT_EQ(RbfRecord(), armed);

    ASSERT_TRUE(SimReport(10, 10, true, &clicked));
    EXPECT_TRUE(clicked);
    EXPECT_EQ(RbfRecord(), (Bytes{0x34, 0x12, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34})) << "only armed is cleared";
    EXPECT_EQ(State().rightClicks, 1u);

    ASSERT_TRUE(SimReport(10, 10, true, &clicked));
    EXPECT_FALSE(clicked) << "the arming is used up";
    EXPECT_EQ(State().rightClicks, 1u);
}

TEST_F(Driver, TouchWithoutArmingIsNoRightClick) {
    bool clicked = true;
    ASSERT_TRUE(SimReport(10, 10, true, &clicked));
    EXPECT_FALSE(clicked);
    EXPECT_EQ(State().rightClicks, 0u);
    EXPECT_EQ(RbfRecord(), kInitialRbf);
}

// ---- the request log ----

TEST_F(Driver, LogKeepsRequestsInOrderWithoutThePolledOnes) {
    Bytes block = kInitialBlock;
    block[offsetof(TouchSettingsBlock, feedbackSound)] = 3;
    const Bytes signal = {5, 0, 0, 0};
    const Bytes record = {0x01, 0x02, 0x03, 0x04, 0x01, 0x00, 0x5E, 0xE5};
    ASSERT_TRUE(Ask(IOCTL_TOUCH_GET_SETTINGS, kInitialBlock, sizeof(TouchSettingsBlock)).ok);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_GET_RAW_SAMPLE, Bytes(sizeof(TouchRawSample)), sizeof(TouchRawSample)).ok);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_SET_FEEDBACK_SOUND, block, sizeof(TouchSettingsBlock)).ok);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_GET_RBF_WINDOW, Bytes(sizeof(RbfWindowRecord)), sizeof(RbfWindowRecord)).ok);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_CALIBRATION_SIGNAL, signal, sizeof(TouchCalibrationSignal)).ok);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_SET_RBF_WINDOW, record, sizeof(RbfWindowRecord)).ok);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_GET_RAW_SAMPLE, Bytes(sizeof(TouchRawSample)), sizeof(TouchRawSample)).ok);

    SimLog log;
    ASSERT_TRUE(SimGetLog(&log));
    EXPECT_EQ(log.total, 4u);
    ASSERT_EQ(log.count, 4u);
    const struct {
        DWORD code;
        Bytes input;
    } expected[] = {{IOCTL_TOUCH_GET_SETTINGS, kInitialBlock},
                    {IOCTL_TOUCH_SET_FEEDBACK_SOUND, block},
                    {IOCTL_TOUCH_CALIBRATION_SIGNAL, signal},
                    {IOCTL_TOUCH_SET_RBF_WINDOW, record}};
    for (size_t i = 0; i < 4; i++) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(log.entries[i].code, expected[i].code);
        EXPECT_EQ(log.entries[i].inputLength, expected[i].input.size());
        Bytes padded = expected[i].input;
        padded.resize(SIM_LOG_INPUT_BYTES, 0);
        EXPECT_EQ(BytesOf(log.entries[i].input), padded);
    }
    const SimState s = State();
    EXPECT_EQ(s.requestCounts[QR_REQ_GET_RAW_SAMPLE], 2u);
    EXPECT_EQ(s.requestCounts[QR_REQ_GET_RBF_WINDOW], 1u);
}

TEST_F(Driver, LogRingKeepsTheNewestOldestFirst) {
    constexpr uint8_t kSent = SIM_LOG_CAPACITY + 6;
    for (uint8_t i = 0; i < kSent; i++)
        ASSERT_TRUE(Ask(IOCTL_TOUCH_CALIBRATION_SIGNAL, Bytes{i, 0, 0, 0}, sizeof(TouchCalibrationSignal)).ok);
    SimLog log;
    ASSERT_TRUE(SimGetLog(&log));
    EXPECT_EQ(log.total, kSent);
    ASSERT_EQ(log.count, static_cast<uint32_t>(SIM_LOG_CAPACITY));
    for (uint32_t i = 0; i < SIM_LOG_CAPACITY; i++)
        EXPECT_EQ(log.entries[i].input[0], kSent - SIM_LOG_CAPACITY + i) << "entry " << i;
}

TEST_F(Driver, LogKeepsTheFirstBytesOfALongInput) {
    Bytes in(60);
    for (size_t i = 0; i < in.size(); i++) in[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_SET_FEEDBACK_SOUND, in, sizeof(TouchSettingsBlock)).ok);
    const std::vector<SimLogEntry> log = SimLogEntries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].inputLength, 60u);
    EXPECT_EQ(BytesOf(log[0].input), Bytes(in.begin(), in.begin() + SIM_LOG_INPUT_BYTES));
}

// The times are on the caller's performance counter: each falls between the moments just before
// and just after its request, in the log's order.
TEST_F(Driver, LogTimesAreWhenEachRequestArrived) {
    const Bytes block = Settings();
    SimReset();
    LARGE_INTEGER before, between, after;
    QueryPerformanceCounter(&before);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_SET_FEEDBACK_SOUND, block, sizeof(TouchSettingsBlock)).ok);
    QueryPerformanceCounter(&between);
    ASSERT_TRUE(Ask(IOCTL_TOUCH_SET_BUTTON_MODE, block, sizeof(TouchSettingsBlock)).ok);
    QueryPerformanceCounter(&after);

    SimLogTimes times = {};
    ASSERT_TRUE(SimGetLogTimes(&times));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    EXPECT_EQ(times.frequency, frequency.QuadPart);
    ASSERT_EQ(times.count, 2u);
    EXPECT_EQ(times.total, 2u);
    EXPECT_LE(before.QuadPart, times.at[0]);
    EXPECT_LE(times.at[0], between.QuadPart);
    EXPECT_LE(between.QuadPart, times.at[1]);
    EXPECT_LE(times.at[1], after.QuadPart);
}

// ---- reset ----

TEST_F(Driver, ResetRestoresEverything) {
    SetFeedbackSound(3);
    SetRbfRecord({1, 2, 3, 4, 1, 0, 7, 7});
    ASSERT_TRUE(SimReport(1, 2, true));
    ASSERT_TRUE(SimReset(SIM_RESET_FAIL_REQUESTS));

    // A reset without input also leaves the failing mode.
    ASSERT_TRUE(Ask(IOCTL_SIM_RESET, {}, 0).ok);
    const SimState s = State();
    EXPECT_EQ(BytesOf(s.block), kInitialBlock);
    EXPECT_EQ(BytesOf(s.rbf), kInitialRbf);
    EXPECT_EQ(BytesOf(s.raw), Bytes(sizeof(TouchRawSample), 0));
    EXPECT_EQ(s.rightClicks, 0u);
    for (uint32_t count : s.requestCounts) EXPECT_EQ(count, 0u);
    EXPECT_TRUE(SimLogEntries().empty());
    EXPECT_EQ(Settings(), kInitialBlock);
}

TEST_F(Driver, ResetCanTakeASettingsBlock) {
    const Bytes block = Inverted(kInitialBlock);
    TouchSettingsBlock given;
    std::memcpy(&given, block.data(), sizeof given);
    ASSERT_TRUE(SimResetWithBlock(given));
    EXPECT_EQ(Settings(), block);
    EXPECT_EQ(RbfRecord(), kInitialRbf);
}

TEST_F(Driver, MalformedResetChangesNothing) {
    SetFeedbackSound(3);
    const uint32_t useBlock = SIM_RESET_USE_BLOCK, unknownFlag = 0x8;
    const struct {
        const char* what;
        Bytes in;
        DWORD error;
    } resets[] = {
        {"two bytes", {0, 0}, ERROR_INSUFFICIENT_BUFFER},
        {"block flag without block", BytesOf(useBlock), ERROR_INSUFFICIENT_BUFFER},
        {"unknown flag", BytesOf(unknownFlag), ERROR_INVALID_PARAMETER},
    };
    for (const auto& reset : resets) {
        const Answer a = Ask(IOCTL_SIM_RESET, reset.in, 0);
        EXPECT_FALSE(a.ok) << reset.what;
        EXPECT_EQ(a.error, reset.error) << reset.what;
    }
    EXPECT_EQ(Settings()[offsetof(TouchSettingsBlock, feedbackSound)], 3);
}

// ---- what the driver does not know ----

TEST_F(Driver, UnknownCodesAreInvalidAndUncounted) {
    constexpr DWORD kMethodNeither = 3, kFileDeviceUnknown = 0x22;
    const DWORD codes[] = {
        QR_CTL_CODE(0x808), QR_CTL_CODE(0x814), QR_CTL_CODE(0x820), QR_CTL_CODE(0x830), QR_CTL_CODE(0x905),
        IOCTL_TOUCH_GET_SETTINGS | kMethodNeither,      // right function, other transfer type
        (kFileDeviceUnknown << 16) | (0x804u << 2),     // right function, other device type
        0};
    for (DWORD code : codes) {
        const Answer a = Ask(code, Bytes(sizeof(TouchSettingsBlock), 0), sizeof(TouchSettingsBlock));
        EXPECT_FALSE(a.ok) << std::hex << code;
        EXPECT_EQ(a.error, static_cast<DWORD>(ERROR_INVALID_FUNCTION)) << std::hex << code;
        EXPECT_EQ(a.out, Bytes(sizeof(TouchSettingsBlock), kSentinel)) << std::hex << code;
    }
    const SimState s = State();
    for (uint32_t count : s.requestCounts) EXPECT_EQ(count, 0u);
    EXPECT_TRUE(SimLogEntries().empty());
}

TEST_F(Driver, SimulationRequestsCheckTheirBuffers) {
    const struct {
        const char* what;
        DWORD code, in, out;
    } shapes[] = {
        {"report, short input", IOCTL_SIM_REPORT, sizeof(SimReportInput) - 1, sizeof(SimReportOutput)},
        {"report, short output", IOCTL_SIM_REPORT, sizeof(SimReportInput), sizeof(SimReportOutput) - 1},
        {"state, short output", IOCTL_SIM_GET_STATE, 0, sizeof(SimState) - 1},
        {"log, short output", IOCTL_SIM_GET_LOG, 0, sizeof(SimLog) - 1},
        {"log times, short output", IOCTL_SIM_GET_LOG_TIMES, 0, sizeof(SimLogTimes) - 1},
    };
    for (const auto& shape : shapes) {
        const Answer a = Ask(shape.code, Bytes(shape.in, 1), shape.out);
        EXPECT_FALSE(a.ok) << shape.what;
        EXPECT_EQ(a.error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << shape.what;
        EXPECT_EQ(a.out, Bytes(shape.out, kSentinel)) << shape.what;
    }
    EXPECT_EQ(State().raw.sequence, 0) << "a rejected report is no report";
}

// ---- state shared by processes ----

// Runs tests/driver/driver_peer.exe (beside this program) and returns its exit code.
DWORD RunPeer(const std::string& arguments) {
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    path = path.substr(0, path.find_last_of('\\') + 1) + "driver_peer.exe";
    std::string commandLine = "\"" + path + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << path << ", error " << GetLastError();
        return ~0u;
    }
    DWORD code = ~0u;
    if (WaitForSingleObject(pi.hProcess, kPeerTimeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else ADD_FAILURE() << "driver_peer " << arguments << " did not end";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// Holds the device open the way the control panel does, for the length of a test.
class SharedDevice : public Driver {
protected:
    void SetUp() override {
        Driver::SetUp();
        held_ = CreateFileA(QR_DEVICE_USER_PATH, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override { CloseHandle(held_); }

    HANDLE held_ = INVALID_HANDLE_VALUE;
};

TEST_F(SharedDevice, FeedbackSoundSetHereIsSeenByAnotherProcess) {
    SetFeedbackSound(3);
    EXPECT_EQ(RunPeer("get-feedback"), 3u);
}

TEST_F(SharedDevice, FeedbackSoundSetByAnotherProcessIsSeenHere) {
    ASSERT_EQ(RunPeer("set-feedback 2"), 0u);
    EXPECT_EQ(Settings()[offsetof(TouchSettingsBlock, feedbackSound)], 2);
}

// ---- the driver's service ----

class DriverService : public Driver {
protected:
    void TearDown() override {
        if (!SimDriverPresent()) {
            EXPECT_TRUE(SimStartDriver()) << "the driver is left stopped";
        }
    }
};

TEST_F(DriverService, StopRemovesTheDeviceAndStartBringsItBackFresh) {
    SetFeedbackSound(4);
    ASSERT_TRUE(SimStopDriver()) << "error " << GetLastError();
    EXPECT_FALSE(SimDriverPresent());
    HANDLE h = CreateFileA(QR_DEVICE_USER_PATH, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(SimStartDriver()) << "error " << GetLastError();
    EXPECT_EQ(Settings(), kInitialBlock);
    EXPECT_EQ(RbfRecord(), kInitialRbf);
}

}  // namespace
