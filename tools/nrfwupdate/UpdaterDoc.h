// The updater's command line described once: its --help text and its
// manual page come from here.
#pragma once

#include "ProgramDoc.h"

const programdoc::ProgramDoc &updaterDoc();
