#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "Frames.h"
#include "UdpClient.h"

using namespace pallixtest;
using namespace std::chrono_literals;

namespace {

// pallix-sim started with pipes on its standard streams.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
            std::vector<char *> argv{const_cast<char *>(PALLIX_SIM_PROGRAM)};
            for (std::string &arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        stderr_ = err[0];
    }
    ~SimProcess() {
        if (pid_ > 0 && !exitCode_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {stdin_, stdout_, stderr_}) {
            if (fd >= 0) close(fd);
        }
    }

    void send(const std::string &line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void closeInput() {
        close(stdin_);
        stdin_ = -1;
    }
    std::optional<std::string> line(std::chrono::milliseconds timeout = 3000ms) { return readLine(stdout_, outBuf_, timeout); }
    std::optional<std::string> errorLine() { return readLine(stderr_, errBuf_, 3000ms); }
    void signal(int number) { kill(pid_, number); }

    // The exit code, or -1 when it does not end within a few seconds.
    int exitCode() {
        for (int i = 0; i < 50 && !exitCode_; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            } else {
                usleep(100'000);
            }
        }
        return exitCode_.value_or(-1);
    }

private:
    static std::optional<std::string> readLine(int fd, std::string &buffer, std::chrono::milliseconds timeout) {
        for (;;) {
            if (const auto end = buffer.find('\n'); end != std::string::npos) {
                std::string text = buffer.substr(0, end);
                buffer.erase(0, end + 1);
                return text;
            }
            pollfd waiting{fd, POLLIN, 0};
            if (poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
            char chunk[4096];
            const ssize_t size = read(fd, chunk, sizeof chunk);
            if (size <= 0) return std::nullopt;
            buffer.append(chunk, static_cast<size_t>(size));
        }
    }

    pid_t pid_ = -1;
    int stdin_ = -1, stdout_ = -1, stderr_ = -1;
    std::string outBuf_, errBuf_;
    std::optional<int> exitCode_;
};

}  // namespace

TEST(PallixSimProgram, ServesUntilQuit) {
    SimProcess sim({"--devices", "2", "--firmware", "01.02"});
    ASSERT_EQ(sim.line(), "ready");
    UdpClient client;
    client.send("127.0.0.255", 11000, probe());
    const auto replies = client.receiveAll(300ms);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[1].text(), "NERRIN:PALLIX:127.0.0.3:MAC:02-50-4C-00-00-02:FW:01.02");

    sim.send("set 9 44 2");
    EXPECT_EQ(sim.line(), "ok");
    const auto reply = client.exchange("127.0.0.3", readRequest(9));
    ASSERT_TRUE(reply);
    EXPECT_EQ(replyValue(reply->bytes), 44);
    sim.send("requests 2");
    EXPECT_EQ(sim.line(), "2");
    sim.send("nonsense");
    EXPECT_EQ(sim.line()->rfind("error: ", 0), 0u);
    sim.send("quit");
    EXPECT_EQ(sim.line(), "ok");
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST(PallixSimProgram, EndsAtEndOfInput) {
    SimProcess sim({});
    ASSERT_EQ(sim.line(), "ready");
    sim.closeInput();
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST(PallixSimProgram, EndsCleanlyOnSigterm) {
    SimProcess sim({});
    ASSERT_EQ(sim.line(), "ready");
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST(PallixSimProgram, VerboseLogsEachRequest) {
    SimProcess sim({"--verbose"});
    ASSERT_EQ(sim.line(), "ready");
    UdpClient client;
    ASSERT_TRUE(client.exchange("127.0.0.2", writeRequest(12, 1)));
    const auto logged = sim.errorLine();
    ASSERT_TRUE(logged);
    EXPECT_NE(logged->find("write 12 = 1 refused: read-only register"), std::string::npos) << *logged;
}

TEST(PallixSimProgram, RepliesLeaveFromTheReplyPort) {
    SimProcess sim({"--reply-port", "11005"});
    ASSERT_EQ(sim.line(), "ready");
    UdpClient client;
    const auto reply = client.exchange("127.0.0.2", readRequest(9));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->fromPort, 11005);
}

TEST(PallixSimProgram, ATakenPortIsAClearError) {
    UdpClient squatter("127.0.0.255", 11000);
    SimProcess sim({});
    const auto error = sim.errorLine();
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "error: cannot bind 127.0.0.255:11000: Address already in use");
    EXPECT_EQ(sim.line(1000ms), std::nullopt) << "never ready";
    EXPECT_NE(sim.exitCode(), 0);
}

TEST(PallixSimProgram, BadArgumentsAreRefused) {
    SimProcess sim({"--devices", "many"});
    const auto error = sim.errorLine();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->rfind("error: --devices", 0), 0u) << *error;
    EXPECT_EQ(sim.exitCode(), 2);
}
