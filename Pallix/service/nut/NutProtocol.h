// NUT's network protocol (1.3), read-only: the subset that upsc, upsmon as
// a secondary, Home Assistant and nut_exporter use. One request line in,
// its reply lines out; the server owns the sockets.
#pragma once

#include "NutUps.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One client's conversation.
class NutSession {
public:
    // Longer request lines get TooLongReply; no client sends them.
    static constexpr std::size_t MaxLine = 512;
    static constexpr std::string_view TooLongReply = "ERR INVALID-ARGUMENT";

    std::vector<std::string> handle(std::string_view line, const NutView &view);

    bool loggedIn() const { return loggedIn_; }
    bool closing() const { return closing_; }   // LOGOUT: close once the reply is out

private:
    using Words = std::vector<std::string>;
    using Reply = std::vector<std::string>;
    struct Command;
    static const Command Commands[];

    Reply startTls(const Words &args, const NutView &view);
    Reply username(const Words &args, const NutView &view);
    Reply password(const Words &args, const NutView &view);
    Reply login(const Words &args, const NutView &view);
    Reply logout(const Words &args, const NutView &view);
    Reply get(const Words &args, const NutView &view);
    Reply list(const Words &args, const NutView &view);
    Reply version(const Words &args, const NutView &view);
    Reply protocolVersion(const Words &args, const NutView &view);
    Reply refuseWrite(const Words &args, const NutView &view);
    // NUT asks for both before it looks at the rights of a command.
    std::string missingCredentials() const;

    std::string user_;
    std::string password_;
    bool userGiven_ = false;
    bool passwordGiven_ = false;
    bool loggedIn_ = false;
    bool closing_ = false;
};
