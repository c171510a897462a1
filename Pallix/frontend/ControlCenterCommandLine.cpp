#include "ControlCenterCommandLine.h"

#include "ProgramDoc.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Options.h"

#include <algorithm>
#include <cstdio>

namespace {

// The manual page and --help from the same option table the parser takes.
programdoc::ProgramDoc controlCenterDoc()
{
    programdoc::ProgramDoc doc;
    doc.name = "Pallix";
    doc.summary = "the Pallix Control Center, in the notification area";
    doc.synopsis = {"[--local-address ADDR]... [--dry-run]"};
    doc.description =
        "Watches the Pallix beside this PC from the notification area: finds it on the PC's "
        "networks, polls it every two seconds, counts down and carries out the power action it "
        "asks for, and shows and edits its configuration. The menu of its icon opens the "
        "configuration window, the self test, discovery, the About window and the user guide.";
    for (const OptionText &option : controlCenterOptionTexts())
        doc.options.push_back({option.name, option.value, option.text});
    doc.sections = {{"FILES",
                     "Run from an application folder (the build's bin/), the program keeps its "
                     "files and its log.txt beside itself. Installed, it finds them in the "
                     "system's folders and writes its log to $XDG_STATE_HOME/pallix/log.txt "
                     "(~/.local/state/pallix/). --paths tells which."},
                    {"SEE ALSO", "pallixd(8), pallixctl(1), nrfwupdate(1)"}};
    return doc;
}

}   // namespace

std::vector<std::string> argumentsOf(int argc, char **argv)
{
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

std::optional<int> applyCommandLine(const std::vector<std::string> &arguments)
{
    ControlCenterOptions options;
    try {
        options = parseControlCenterOptions(arguments);
    } catch (const OptionError &error) {
        std::fprintf(stderr, "Pallix: %s\n", error.what());
        return 2;
    }
    applyOptions(options, appState());
    if (options.help) {
        programdoc::printText(std::string(ControlCenterDescription) + "\n\n"
                              + programdoc::helpText(controlCenterDoc()));
        return 0;
    }
    if (options.version) {
        programdoc::printText("Pallix " + programdoc::version() + "\n");
        return 0;
    }
    if (options.manPage) {
        std::string error;
        if (programdoc::writeManPage(controlCenterDoc(), *options.manPage, &error)) return 0;
        std::fprintf(stderr, "Pallix: %s\n", error.c_str());
        return 2;
    }
    if (options.paths) {
        programdoc::printText(describePaths());
        return 0;
    }
    return std::nullopt;
}
