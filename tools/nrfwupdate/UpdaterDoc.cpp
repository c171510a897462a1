#include "UpdaterDoc.h"

const programdoc::ProgramDoc &updaterDoc() {
    static const programdoc::ProgramDoc doc{
        "nrfwupdate",
        1,
        "reprogram a Pallix with a firmware image",
        {"<device address> <image path>"},
        "Reprograms the Pallix at the dotted IPv4 address with the firmware image file. "
        "Keep the PC and the Pallix powered until it reports the end. The Pallix Control "
        "Center starts it with the device it watches and its carried image.\n"
        "\n"
        "Exit status:\n"
        "\n"
        "   0  updated: the Pallix runs the new firmware and answers again\n"
        "   1  image refused (unreadable, malformed, or not covering 0x00000 to\n"
        "      0x1FFFF in order); nothing was sent\n"
        "   2  bad command line; nothing was sent\n"
        "   3  no Pallix answered the probe; only leave-program-mode was sent\n"
        "   4  the Pallix did not come back after its restart\n"
        "   5  no answer to enter program mode; the old firmware is untouched\n"
        "   6  no answer to a block erase\n"
        "   7  no answer to a block write\n"
        "   8  no answer to the flash copy\n"
        "   9  image written, but no answer to leave program mode\n"
        "  10  left program mode, but the Pallix answers no register read\n"
        "\n"
        "After a failure the message says what failed and what state the Pallix is in; "
        "from 6 on it needs the update run again.",
        {},
        {{"help", "", "Show this text and exit."},
         {"version", "", "Show the version and exit."},
         {"man-page", "FILE", "Write the manual page to FILE and exit."}},
        {},
    };
    return doc;
}
