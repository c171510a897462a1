#include "app/Options.h"

#include "app/Text.h"

#include <algorithm>
#include <cctype>

const char ControlCenterDescription[] =
    "Pallix Control Center: watches a Pallix on the local network.";

const std::vector<OptionText> &controlCenterOptionTexts()
{
    static const std::vector<OptionText> texts{
        {"local-address", "ADDR",
         "Use ADDR as one of the PC's IPv4 addresses instead of the real ones (repeatable)."},
        {"dry-run", "",
         "Write power actions to standard output and the log instead of carrying them out."},
        {"autostart", "",
         "Started at login: when pallixd watches this PC's Pallix, say so in the icon's tooltip "
         "and one notification rather than a box, then end."},
        {"paths", "", "Show where the application finds its files and writes its log, then exit."},
        {"man-page", "FILE", "Write the manual page to FILE and exit."},
        {"help", "", "Show the options and exit."},
        {"version", "", "Show the version and exit."},
    };
    return texts;
}

namespace {

// "--name=value" and "--name value" alike; "-h" and "-v" as their long names.
struct Argument {
    std::string name;
    std::optional<std::string> value;
};

Argument splitArgument(const std::string &argument)
{
    if (argument == "-h" || argument == "-?") return {"help", std::nullopt};
    if (argument == "-v") return {"version", std::nullopt};
    if (!argument.starts_with("--"))
        throw OptionError("Unexpected argument \"" + argument + "\" (see --help)");
    const std::string body = argument.substr(2);
    const size_t equals = body.find('=');
    if (equals == std::string::npos) return {body, std::nullopt};
    return {body.substr(0, equals), body.substr(equals + 1)};
}

const OptionText *findOption(const std::string &name)
{
    const auto &table = controlCenterOptionTexts();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const OptionText &o) { return name == o.name; });
    return found == table.end() ? nullptr : &*found;
}

}   // namespace

ControlCenterOptions parseControlCenterOptions(const std::vector<std::string> &arguments)
{
    ControlCenterOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        Argument argument = splitArgument(arguments[i]);
        const OptionText *option = findOption(argument.name);
        if (!option) throw OptionError("Unknown option \"--" + argument.name + "\" (see --help)");
        const bool takesValue = *option->value != '\0';
        if (takesValue && !argument.value) {
            if (i + 1 >= arguments.size())
                throw OptionError("--" + argument.name + " wants a value " + option->value);
            argument.value = arguments[++i];
        }
        if (!takesValue && argument.value)
            throw OptionError("--" + argument.name + " takes no value");
        if (argument.name == "local-address") {
            if (!isIPv4Address(*argument.value))
                throw OptionError("--local-address wants a dotted IPv4 address, not \""
                                  + *argument.value + "\"");
            options.localAddresses.push_back(*argument.value);
        }
        options.dryRun |= argument.name == "dry-run";
        options.atLogin |= argument.name == "autostart";
        options.paths |= argument.name == "paths";
        options.help |= argument.name == "help";
        options.version |= argument.name == "version";
        if (argument.name == "man-page") options.manPage = argument.value;
    }
    return options;
}

void applyOptions(const ControlCenterOptions &options, AppState &state)
{
    state.localAddressOverride = options.localAddresses;
    state.dryRun = options.dryRun;
    state.startedAtLogin = options.atLogin;
}

bool isIPv4Address(const std::string &text)
{
    const std::vector<std::string> fields = split(text, '.');
    if (fields.size() != 4) return false;
    return std::all_of(fields.begin(), fields.end(), [](const std::string &field) {
        if (field.empty() || field.size() > 3) return false;
        if (!std::all_of(field.begin(), field.end(),
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return false;
        if (field.size() > 1 && field[0] == '0') return false;
        return std::stoi(field) <= 255;
    });
}
