#include "State.h"

NrLibraryState nrLib;

void nrResetState() { nrLib = NrLibraryState{}; }
