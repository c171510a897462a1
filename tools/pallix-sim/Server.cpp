#include "Server.h"

#include <algorithm>
#include <stdexcept>

namespace pallixsim {
namespace {

bool earlier(const auto &a, const auto &b) { return a.due < b.due; }

}  // namespace

Server::Server(const std::vector<std::string> &deviceAddresses, const std::string &broadcast, uint16_t port,
               uint16_t replyPort, Handler handler)
    : handler_(std::move(handler)) {
    for (const std::string &address : deviceAddresses) {
        deviceSockets_.emplace_back(address, port);
        if (replyPort != 0) replySockets_.emplace_back(address, replyPort);
    }
#ifdef _WIN32
    // Windows hands broadcasts only to a socket bound to no address in particular.
    (void)broadcast;
    probeSocket_.emplace("0.0.0.0", port);
#else
    probeSocket_.emplace(broadcast, port);
#endif
    thread_ = std::thread([this] { serve(); });
}

Server::~Server() {
    running_ = false;
    waker_.wake();
    thread_.join();
}

int Server::pollTimeoutMs() const {
    if (pending_.empty()) return -1;
    const auto next = std::min_element(pending_.begin(), pending_.end(), earlier<PendingReply, PendingReply>)->due;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::max<long long>(wait, 0));
}

void Server::serve() {
    std::vector<pollfd> fds{waker_.pollEntry()};
    for (const UdpSocket &s : deviceSockets_) fds.push_back({s.fd(), POLLIN, 0});
    fds.push_back({probeSocket_->fd(), POLLIN, 0});
    while (running_) {
        waitForSockets(fds.data(), fds.size(), pollTimeoutMs());
        if (!running_) break;
        for (size_t i = 0; i < deviceSockets_.size(); ++i) {
            if (fds[i + 1].revents & POLLIN) drain(deviceSockets_[i], i);
        }
        if (fds.back().revents & POLLIN) drain(*probeSocket_, std::nullopt);
        sendDueReplies();
    }
}

// Only probes count on the broadcast socket.
void Server::drain(UdpSocket &socket, std::optional<size_t> device) {
    uint8_t buffer[4096];
    sockaddr_in from{};
    for (std::ptrdiff_t size; (size = socket.receive(buffer, from)) >= 0;) {
        const std::span<const uint8_t> datagram(buffer, static_cast<size_t>(size));
        if (device) {
            deliver(*device, datagram, from);
        } else if (isProbe(datagram)) {
            for (size_t d = 0; d < deviceSockets_.size(); ++d) deliver(d, datagram, from);
        }
    }
}

void Server::deliver(size_t device, std::span<const uint8_t> datagram, const sockaddr_in &from) {
    Device::Answer answer = handler_(device, datagram);
    if (!answer.reply) return;
    if (answer.delay > Clock::duration::zero()) {
        pending_.push_back({Clock::now() + answer.delay, device, from, std::move(*answer.reply)});
    } else {
        replySocket(device).sendTo(*answer.reply, from);
    }
}

UdpSocket &Server::replySocket(size_t device) {
    return replySockets_.empty() ? deviceSockets_[device] : replySockets_[device];
}

void Server::sendDueReplies() {
    const Clock::time_point now = Clock::now();
    // Replies go out in the order they fell due.
    std::stable_sort(pending_.begin(), pending_.end(), earlier<PendingReply, PendingReply>);
    const auto firstLater = std::find_if(pending_.begin(), pending_.end(), [&](const auto &p) { return p.due > now; });
    for (auto it = pending_.begin(); it != firstLater; ++it) replySocket(it->device).sendTo(it->bytes, it->to);
    pending_.erase(pending_.begin(), firstLater);
}

}  // namespace pallixsim
