// Where the application finds its files. Run from the build folder, they
// lie beside the program (bin/ is laid out as the application folder);
// installed on Linux, they lie in the system's folders around it
// (<prefix>/share/pallix, the library folder). Both layouts are found from
// the program's own folder, so an unpacked package works wherever it was
// unpacked.
#pragma once

#include <string>

enum class AppFile {
    RedIcon,         // NerrinRed.ico
    GrayIcon,        // NerrinGray.ico
    UserGuide,       // Pallix_User_Guide.pdf
    FirmwareImage,   // the carried image
    Updater,         // nrfwupdate
    Library,         // the device library
};

// The file's path: beside the program when it is there, else where the
// installed layout puts it.
std::string appFile(AppFile file);

// True when the program runs from an application folder (the build's bin/,
// or a copy of it) rather than from the installed layout.
bool runsFromAppFolder();

// One line per file the application uses, and one for the log: its name,
// its path, and "(missing)" where there is no such file.
std::string describePaths();

// Where the log goes: the application folder while the program runs from
// one and may write it, else the user's state folder ($XDG_STATE_HOME/pallix/,
// ~/.local/state/pallix/; %LOCALAPPDATA%\Pallix\ on Windows). Ends in a separator.
std::string logFolder();
// The user's state folder for the application, created when missing; ends
// in a separator.
std::string stateFolder();

// The folder text with a trailing separator.
std::string appFolder(const std::string &folder);
