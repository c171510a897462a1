#include "StopSignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int writeEnd = -1;

// Only async-signal-safe calls in here: the number goes down the pipe.
void onSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
}

}   // namespace

StopSignals::StopSignals(std::initializer_list<int> others) : others_(others)
{
    if (::pipe(pipe_) != 0) return;
    for (const int end : pipe_)
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    writeEnd = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignals::readSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    for (const int number : others_)
        sigaction(number, &action, nullptr);
}

StopSignals::~StopSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    for (const int number : others_)
        std::signal(number, SIG_DFL);
    writeEnd = -1;
    notifier_.reset();
    for (const int end : pipe_)
        if (end >= 0) ::close(end);
}

void StopSignals::readSignal()
{
    unsigned char byte = 0;
    while (::read(pipe_[0], &byte, 1) == 1) {
        if (byte == SIGINT || byte == SIGTERM)
            emit stopRequested(byte);
        else
            emit caught(byte);
    }
}
