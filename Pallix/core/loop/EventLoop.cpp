#include "loop/EventLoop.h"

#include <cstdio>
#include <cstdlib>

namespace loop {
namespace {
EventLoop *installed = nullptr;
}

EventLoop &EventLoop::current()
{
    if (!installed) {
        // A program that runs core code without a loop is built wrong.
        std::fputs("Pallix: no event loop installed\n", stderr);
        std::abort();
    }
    return *installed;
}

void EventLoop::install(EventLoop *loop) { installed = loop; }

}   // namespace loop
