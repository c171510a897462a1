#include "TickGuard.h"

#include "AppState.h"
#include "NrAPI.h"

TickGuard::TickGuard(bool &running)
    : running_(running), entered_(!running && !NrAPI::busy() && !appState().ending)
{
    if (entered_) running_ = true;
}

TickGuard::~TickGuard()
{
    if (entered_) running_ = false;
}
