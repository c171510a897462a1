// pallixGetGlobalStatus against the in-process simulator, beside the floor:
// the same request and reply on one UDP socket that stays open.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

#include "NerrinAPI.h"
#include "Simulator.h"

namespace {

constexpr uint8_t kReadGlobalStatus[] = {0xA5, 0x05, 0x00, 0x04, 0x00,
                                         0x00, 0x00, 0x01, 0x00, 0x65};

pallixsim::Simulator &simulator() {
    static pallixsim::Simulator sim;
    return sim;
}

void keepRequestLogSmall(benchmark::State &state, int64_t done) {
    if (done % 4096 != 0) return;
    state.PauseTiming();
    simulator().clearRequests();
    state.ResumeTiming();
}

void LibraryGetGlobalStatus(benchmark::State &state) {
    NrSetDevice(simulator().address(1).c_str());
    int64_t done = 0;
    for (auto _ : state) {
        int32_t value = 0;
        if (pallixGetGlobalStatus(&value) != 0) {
            state.SkipWithError("no reply from the simulator");
            break;
        }
        benchmark::DoNotOptimize(value);
        keepRequestLogSmall(state, ++done);
    }
}

sockaddr_in endpoint(const std::string &address, uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = inet_addr(address.c_str());
    return at;
}

int openUdpSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    timeval timeout{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    return fd;
}

// One request out, one reply in; false when nothing came back.
bool roundTrip(int fd, const sockaddr_in &device) {
    char reply[512];
    ::sendto(fd, kReadGlobalStatus, sizeof kReadGlobalStatus, 0,
             reinterpret_cast<const sockaddr *>(&device), sizeof device);
    if (::recv(fd, reply, sizeof reply, 0) <= 0) return false;
    benchmark::DoNotOptimize(reply[5]);
    return true;
}

void FloorOpenSocketRoundTrip(benchmark::State &state) {
    const sockaddr_in device = endpoint(simulator().address(1), 11000);
    const int fd = openUdpSocket();
    int64_t done = 0;
    for (auto _ : state) {
        if (!roundTrip(fd, device)) {
            state.SkipWithError("no reply from the simulator");
            break;
        }
        keepRequestLogSmall(state, ++done);
    }
    ::close(fd);
}

// The same round trip with the socket made, bound and closed each time, as
// the protocol's one-socket-per-exchange rule demands of the library.
void FreshSocketRoundTrip(benchmark::State &state) {
    const sockaddr_in device = endpoint(simulator().address(1), 11000);
    const sockaddr_in local = endpoint("0.0.0.0", 11002);
    int64_t done = 0;
    for (auto _ : state) {
        const int fd = openUdpSocket();
        ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local);
        const bool answered = roundTrip(fd, device);
        ::close(fd);
        if (!answered) {
            state.SkipWithError("no reply from the simulator");
            break;
        }
        keepRequestLogSmall(state, ++done);
    }
}

// The machine is shared: medians of several runs are steadier than one.
#define ROUND_TRIP_BENCHMARK(name) \
    BENCHMARK(name)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true)

ROUND_TRIP_BENCHMARK(LibraryGetGlobalStatus);
ROUND_TRIP_BENCHMARK(FloorOpenSocketRoundTrip);
ROUND_TRIP_BENCHMARK(FreshSocketRoundTrip);

// Keeps the median real times so the runs can be compared at the end.
class ComparingReporter : public benchmark::ConsoleReporter {
public:
    ComparingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                !run.error_occurred) {
                microseconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }

    void printComparison() const {
        const double library = timeOf("LibraryGetGlobalStatus");
        const double floor = timeOf("FloorOpenSocketRoundTrip");
        const double fresh = timeOf("FreshSocketRoundTrip");
        if (library <= 0 || floor <= 0) return;
        std::printf("\n%-36s %12s %8s\n", "per call", "microseconds", "ratio");
        std::printf("%-36s %12.2f %8.2f\n", "pallixGetGlobalStatus", library, library / floor);
        std::printf("%-36s %12.2f %8.2f\n", "floor: one open socket", floor, 1.0);
        if (fresh > 0) {
            std::printf("%-36s %12.2f %8.2f\n", "floor with a socket per exchange", fresh,
                        fresh / floor);
            std::printf("library / socket-per-exchange floor: %.2f\n", library / fresh);
        }
    }

private:
    double timeOf(const std::string &name) const {
        const auto found = microseconds_.find(name);
        return found == microseconds_.end() ? 0.0 : found->second;
    }

    std::map<std::string, double> microseconds_;
};

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    try {
        simulator().start();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "simulator: %s\n", error.what());
        return 1;
    }
    ComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printComparison();
    simulator().stop();
    benchmark::Shutdown();
    return 0;
}
