// One request and its reply over loopback, with the retries and diagnostics
// a failing device causes. Runs in a private network namespace.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "FakeDevice.h"
#include "LibraryFixture.h"
#include "Packet.h"
#include "Transport.h"
#include "platform/Socket.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char *kDevice = "127.0.0.2";
constexpr uint16_t kDevicePort = 11000;
const std::string kRetryFailed = "Retry Loop Failed.\n\n";
const std::string kNoReply = "No Reply Error\n\n";

Bytes reply(std::initializer_list<uint8_t> bytes) { return Bytes(bytes); }

const FakeDevice::Handler kSilent = [](const Bytes &, size_t) { return std::nullopt; };

FakeDevice::Handler answerAlways(Bytes answer) {
    return [answer](const Bytes &, size_t) { return std::optional(answer); };
}

class NrTransport : public LibraryTest {
protected:
    int32_t readGlobalStatus(int32_t &value) {
        NrSetDevice(kDevice);
        return pallixGetGlobalStatus(&value);
    }
};

// Capturing standard output around one library call.
template <typename Call>
std::string outputOf(Call call) {
    ::testing::internal::CaptureStdout();
    call();
    return ::testing::internal::GetCapturedStdout();
}

TEST_F(NrTransport, AnsweringDeviceTakesOneAttemptAndPrintsNothing) {
    FakeDevice device(kDevice, kDevicePort, answerAlways(reply({0xA5, 0x05, 0, 1, 0, 0x42})));
    int32_t value = -1;
    int32_t status = -1;
    EXPECT_EQ(outputOf([&] { status = readGlobalStatus(value); }), "");
    EXPECT_EQ(status, kNrOk);
    EXPECT_EQ(value, 0x42);
    ASSERT_EQ(device.requestCount(), 1u);
    EXPECT_EQ(device.requests()[0],
              (Bytes{0xA5, 0x05, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x65}));
    EXPECT_TRUE(shownBoxes().empty());
    EXPECT_EQ(nrLib.sockOpen, 0);
}

TEST_F(NrTransport, DeadDeviceCostsFourAttemptsOfOneSecond) {
    int32_t value = 77;
    int32_t status = -1;
    const auto started = Clock::now();
    const std::string output = outputOf([&] { status = readGlobalStatus(value); });
    const auto took = Clock::now() - started;
    EXPECT_EQ(status, kNrNoReply);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(output, repeated(kNoReply, 4) + kRetryFailed);
    EXPECT_GE(took, 3900ms);
    EXPECT_LT(took, 6s);
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(NrTransport, DeviceThatMissesTheFirstRequestAnswersTheSecond) {
    FakeDevice device(kDevice, kDevicePort, [](const Bytes &, size_t index) {
        return index == 0 ? std::nullopt : std::optional(reply({0xA5, 0x05, 0, 1, 0, 9}));
    });
    int32_t value = 0;
    int32_t status = -1;
    EXPECT_EQ(outputOf([&] { status = readGlobalStatus(value); }), kNoReply);
    EXPECT_EQ(status, kNrOk);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(device.requestCount(), 2u);
}

TEST_F(NrTransport, HeldLocalPortFailsBindOnEveryAttempt) {
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(11002);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr *>(&local), sizeof local), 0);
    FakeDevice device(kDevice, kDevicePort, answerAlways(reply({0xA5, 0x05, 0, 1, 0, 1})));

    int32_t value = 5;
    int32_t status = -1;
    EXPECT_EQ(outputOf([&] { status = readGlobalStatus(value); }),
              repeated("Bind Error\n\n", 4) + kRetryFailed);
    EXPECT_EQ(status, kNrBindFailed);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(device.requestCount(), 0u);
    ::close(holder);

    // Released between calls, the port works again.
    EXPECT_EQ(readGlobalStatus(value), kNrOk);
}

// A host that takes the diagnostic lines gets every one of them, as they
// would have been printed, and standard output gets none.
TEST_F(NrTransport, AHostsDiagnosticHandlerTakesTheLinesOffStandardOutput) {
    static std::string taken;
    taken.clear();
    NrSetDiagnosticHandler([](const char *text) { taken += text; });
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(11002);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr *>(&local), sizeof local), 0);
    int32_t value = 0;
    EXPECT_EQ(outputOf([&] { readGlobalStatus(value); }), "");
    ::close(holder);
    EXPECT_EQ(taken, repeated("Bind Error\n\n", 4) + kRetryFailed);
}

TEST_F(NrTransport, ReplyStartingWithZeroCountsAsNoReply) {
    FakeDevice device(kDevice, kDevicePort, answerAlways(reply({0x00, 0x05, 0, 1, 0, 0x42})));
    int32_t value = 3;
    int32_t status = -1;
    EXPECT_EQ(outputOf([&] { status = readGlobalStatus(value); }),
              repeated(kNoReply, 4) + kRetryFailed);
    EXPECT_EQ(status, kNrNoReply);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(device.requestCount(), 4u);
}

TEST_F(NrTransport, ShortReadReplyIsRetriedAndAShortWriteReplyIsTaken) {
    FakeDevice device(kDevice, kDevicePort, [](const Bytes &request, size_t index) {
        if (request[1] == 0x04) return std::optional(reply({0xA5}));
        return index == 0 ? std::optional(reply({0xA5, 0x05, 0, 1, 0}))
                          : std::optional(reply({0xA5, 0x05, 0, 1, 0, 0x99}));
    });
    int32_t value = -1;
    int32_t status = -1;
    EXPECT_EQ(outputOf([&] { status = readGlobalStatus(value); }), kNoReply);
    EXPECT_EQ(status, kNrOk);
    EXPECT_EQ(value, 0x99);
    EXPECT_EQ(device.requestCount(), 2u);
    EXPECT_EQ(pallixSetGlobalStatus(225), kNrOk);
    EXPECT_EQ(device.requestCount(), 3u);
}

TEST(NrSocket, DiscardDropsWhatAlreadyWaitsAndNothingLater) {
    const NrSocket socket = nrSocketCreateUdp();
    ASSERT_NE(socket, kNrInvalidSocket);
    ASSERT_TRUE(nrSocketBind(socket, nrEndpoint(inet_addr("127.0.0.1"), 11002)));
    FakeDevice device(kDevice, kDevicePort, kSilent);
    for (uint8_t late = 1; late <= 3; ++late) device.sendTo("127.0.0.1", 11002, Bytes{late});
    std::this_thread::sleep_for(50ms);
    nrSocketDiscardPending(socket);
    device.sendTo("127.0.0.1", 11002, Bytes{9});
    nrSocketSetReceiveTimeout(socket, 500);
    char received[8] = {};
    sockaddr_in from{};
    EXPECT_EQ(nrSocketReceiveFrom(socket, received, sizeof received, &from), 1);
    EXPECT_EQ(received[0], 9);
    nrSocketSetReceiveTimeout(socket, 50);
    EXPECT_EQ(nrSocketReceiveFrom(socket, received, sizeof received, &from), -1);
    nrSocketClose(socket);
}

TEST_F(NrTransport, SlotOneHoldsThePreviousReplyText) {
    FakeDevice device(kDevice, kDevicePort, [](const Bytes &, size_t index) {
        return std::optional(textBytes(index == 0 ? "first reply text" : "second"));
    });
    setSlot(0, "discovery record");
    int32_t value;
    ASSERT_EQ(readGlobalStatus(value), kNrOk);
    EXPECT_EQ(takeText(NrGetDevice(1)), "discovery record");
    ASSERT_EQ(readGlobalStatus(value), kNrOk);
    EXPECT_EQ(takeText(NrGetDevice(0)), "second");
    EXPECT_EQ(takeText(NrGetDiscoveryString()), "second");
    EXPECT_EQ(takeText(NrGetDevice(1)), "first reply text");
}

TEST_F(NrTransport, FullSizeReplyStaysInsideItsSlot) {
    FakeDevice device(kDevice, kDevicePort, answerAlways(Bytes(512, 'x')));
    setSlot(2, "untouched");
    int32_t value;
    ASSERT_EQ(readGlobalStatus(value), kNrOk);
    EXPECT_EQ(takeText(NrGetDiscoveryString()), std::string(512, 'x'));
    ASSERT_EQ(readGlobalStatus(value), kNrOk);
    EXPECT_EQ(takeText(NrGetDevice(1)), std::string(512, 'x'));
    EXPECT_EQ(takeText(NrGetDevice(2)), "untouched");
}

TEST_F(NrTransport, OversizedReplyIsCutToOneSlot) {
    FakeDevice device(kDevice, kDevicePort, answerAlways(Bytes(700, 'y')));
    int32_t value;
    ASSERT_EQ(readGlobalStatus(value), kNrOk);
    EXPECT_EQ(takeText(NrGetDiscoveryString()), std::string(512, 'y'));
}

TEST_F(NrTransport, ReplyFromAForeignSenderIsIgnored) {
    // The stranger speaks first; the device answers a little later.
    FakeDevice stranger("127.0.0.9", kDevicePort, kSilent);
    FakeDevice device(kDevice, kDevicePort, [&stranger](const Bytes &, size_t) {
        stranger.sendTo("127.0.0.1", 11002, Bytes{0xA5, 0x05, 0, 1, 0, 0x66});
        std::this_thread::sleep_for(150ms);
        return std::optional(reply({0xA5, 0x05, 0, 1, 0, 0x21}));
    });
    int32_t value = 0;
    int32_t status = -1;
    EXPECT_EQ(outputOf([&] { status = readGlobalStatus(value); }), "");
    EXPECT_EQ(status, kNrOk);
    EXPECT_EQ(value, 0x21);
    EXPECT_EQ(device.requestCount(), 1u);
}

TEST_F(NrTransport, ForeignDatagramDoesNotExtendTheWait) {
    FakeDevice stranger("127.0.0.9", kDevicePort, kSilent);
    std::vector<Clock::time_point> arrivals;
    FakeDevice device(kDevice, kDevicePort,
                      [&](const Bytes &, size_t index) -> std::optional<Bytes> {
                          arrivals.push_back(Clock::now());
                          if (index > 0) return reply({0xA5, 0x05, 0, 1, 0, 0x31});
                          std::this_thread::sleep_for(500ms);
                          stranger.sendTo("127.0.0.1", 11002, Bytes{0xA5, 0x05, 0, 1, 0, 0x66});
                          return std::nullopt;
                      });
    int32_t value = 0;
    ASSERT_EQ(readGlobalStatus(value), kNrOk);
    EXPECT_EQ(value, 0x31);
    ASSERT_EQ(arrivals.size(), 2u);
    const auto firstWait = arrivals[1] - arrivals[0];
    EXPECT_GE(firstWait, 950ms);
    EXPECT_LT(firstWait, 1400ms);
}

TEST_F(NrTransport, UnparsableAddressIsRefusedAndEndsWithNoReply) {
    NrSetDevice("not-an-address");
    int32_t value = 12;
    int32_t status = -1;
    const std::string output = outputOf([&] { status = pallixGetWDTEnable(&value); });
    EXPECT_EQ(status, kNrNoReply);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(output, repeated(kNoReply, 4) + kRetryFailed);
}

// Uses up every descriptor the process may open, for the length of a scope.
class DescriptorsExhausted {
public:
    DescriptorsExhausted() {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = 256;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) held_.push_back(fd);
    }
    ~DescriptorsExhausted() {
        for (int fd : held_) ::close(fd);
        ::setrlimit(RLIMIT_NOFILE, &saved_);
    }

private:
    rlimit saved_{};
    std::vector<int> held_;
};

TEST_F(NrTransport, NoSocketShowsTheBoxesOfEveryAttempt) {
    NrSetDevice(kDevice);
    int32_t value = 4;
    int32_t status = -1;
    ::testing::internal::CaptureStdout();
    {
        DescriptorsExhausted exhausted;
        status = pallixGetGlobalStatus(&value);
    }
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, kNrNoSocket);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(output, repeated("socket error()\n\n", 4) + kRetryFailed);
    std::vector<std::string> expected{"INVALID_SOCKET"};
    for (int attempt = 0; attempt < 4; ++attempt) {
        expected.insert(expected.end(), {"INVALID_SOCKET", "Scoket Error", "INVALID_SOCKET"});
    }
    EXPECT_EQ(boxTexts(), expected);
    for (const ShownBox &box : shownBoxes()) EXPECT_EQ(box.caption, "Nerrin");
}

TEST_F(NrTransport, OutStateOpensNoSocketOfItsOwn) {
    NrSetDevice(kDevice);
    int32_t flags[6] = {};
    {
        DescriptorsExhausted exhausted;
        EXPECT_EQ(
            pallixGetOutState(&flags[0], &flags[1], &flags[2], &flags[3], &flags[4], &flags[5]),
            kNrNoSocket);
    }
    EXPECT_EQ(shownBoxes().size(), 12u);
}

TEST_F(NrTransport, MessagesGoToStandardErrorWithoutAHandler) {
    NrSetMessageHandler(nullptr);
    NrSetDevice(kDevice);
    int32_t value;
    ::testing::internal::CaptureStderr();
    {
        DescriptorsExhausted exhausted;
        pallixGetShutdownAction(&value);
    }
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Nerrin: INVALID_SOCKET\n"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Nerrin: Scoket Error\n"), std::string::npos) << errors;
}

}  // namespace
