// Where the application finds its files. Run from the build folder, they
// lie beside the program (bin/ is laid out as the application folder);
// installed, they lie in the system's folders around it (<prefix>/share/
// pallix, the library folder). Both layouts are found from the program's
// own folder, so an unpacked package works wherever it was unpacked.
#pragma once

#include <QString>

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
QString appFile(AppFile file);

// True when the program runs from an application folder (the build's bin/,
// or a copy of it) rather than from the installed layout.
bool runsFromAppFolder();

// One line per file the application uses, and one for the log: its name,
// its path, and "(missing)" where there is no such file.
QString describePaths();

// Where the log goes: the application folder while the program runs from
// one and may write it, else $XDG_STATE_HOME/pallix/ (~/.local/state/pallix/).
// Ends in a separator.
QString logFolder();
