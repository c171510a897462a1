// A windowed program has no console of its own: --help and --version write
// to the console it was started from, when there is one.
#pragma once

void attachParentConsole();
