#include "NutProtocol.h"

#include "NutQueries.h"
#include "NutWords.h"

struct NutSession::Command {
    std::string_view name;
    int argCount;   // -1: any; GET and LIST check their own
    Reply (NutSession::*run)(const Words &args, const NutView &view);
};

// The client's own rights matter only to LOGIN; every command that would
// change something is refused to everybody (read-only).
const NutSession::Command NutSession::Commands[] = {
    {"STARTTLS", 0, &NutSession::startTls},
    {"USERNAME", 1, &NutSession::username},
    {"PASSWORD", 1, &NutSession::password},
    {"LOGIN", 1, &NutSession::login},
    {"LOGOUT", 0, &NutSession::logout},
    {"GET", -1, &NutSession::get},
    {"LIST", -1, &NutSession::list},
    {"VER", 0, &NutSession::version},
    {"NETVER", 0, &NutSession::protocolVersion},
    {"PROTVER", 0, &NutSession::protocolVersion},
    {"SET", -1, &NutSession::refuseWrite},
    {"INSTCMD", -1, &NutSession::refuseWrite},
    {"FSD", -1, &NutSession::refuseWrite},
    {"PRIMARY", -1, &NutSession::refuseWrite},
    {"MASTER", -1, &NutSession::refuseWrite},
};

std::vector<std::string> NutSession::handle(std::string_view line, const NutView &view)
{
    if (closing_) return {};
    if (line.size() > MaxLine) return {std::string(TooLongReply)};
    const std::optional<Words> words = splitNutWords(line);
    if (!words) return {nutError("INVALID-ARGUMENT")};
    if (words->empty()) return {nutError("UNKNOWN-COMMAND")};
    const Words args(words->begin() + 1, words->end());
    for (const Command &command : Commands) {
        if (!sameNutName(command.name, words->front())) continue;
        if (command.argCount >= 0 && args.size() != static_cast<std::size_t>(command.argCount))
            return {nutError("INVALID-ARGUMENT")};
        return (this->*command.run)(args, view);
    }
    return {nutError("UNKNOWN-COMMAND")};
}

// No TLS here; NUT's clients then go on in plain text.
NutSession::Reply NutSession::startTls(const Words &, const NutView &)
{
    return {nutError("FEATURE-NOT-SUPPORTED")};
}

NutSession::Reply NutSession::username(const Words &args, const NutView &)
{
    if (userGiven_) return {nutError("ALREADY-SET-USERNAME")};
    user_ = args.front();
    userGiven_ = true;
    return {"OK"};
}

NutSession::Reply NutSession::password(const Words &args, const NutView &)
{
    if (passwordGiven_) return {nutError("ALREADY-SET-PASSWORD")};
    password_ = args.front();
    passwordGiven_ = true;
    return {"OK"};
}

NutSession::Reply NutSession::login(const Words &args, const NutView &view)
{
    if (loggedIn_) return {nutError("ALREADY-LOGGED-IN")};
    if (const std::string missing = missingCredentials(); !missing.empty()) return {missing};
    if (!sameNutName(args.front(), view.settings.upsName)) return {nutError("UNKNOWN-UPS")};
    const NutSettings &settings = view.settings;
    if (settings.user.empty() || user_ != settings.user || password_ != settings.password)
        return {nutError("ACCESS-DENIED")};
    loggedIn_ = true;
    return {"OK"};
}

NutSession::Reply NutSession::logout(const Words &, const NutView &)
{
    loggedIn_ = false;
    closing_ = true;
    return {"OK Goodbye"};
}

NutSession::Reply NutSession::get(const Words &args, const NutView &view)
{
    return answerGet(args, view);
}

NutSession::Reply NutSession::list(const Words &args, const NutView &view)
{
    return answerList(args, view);
}

NutSession::Reply NutSession::version(const Words &, const NutView &view)
{
    return {view.settings.version};
}

NutSession::Reply NutSession::protocolVersion(const Words &, const NutView &) { return {"1.3"}; }

NutSession::Reply NutSession::refuseWrite(const Words &, const NutView &)
{
    if (const std::string missing = missingCredentials(); !missing.empty()) return {missing};
    return {nutError("ACCESS-DENIED")};
}

std::string NutSession::missingCredentials() const
{
    if (!userGiven_) return nutError("USERNAME-REQUIRED");
    if (!passwordGiven_) return nutError("PASSWORD-REQUIRED");
    return {};
}
