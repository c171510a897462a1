// A lock that means "a program runs that holds it": an abstract Unix socket
// name, which the kernel keeps per network namespace and frees when its
// holder ends, however it ends. Any user's program sees it, whatever its
// /proc or /tmp shows. The holder answers each connection with its name, so
// one that finds the lock taken can say who has it.
#pragma once

#include "app/Platform.h"

#include <memory>
#include <string>

// The name of the lock a monitor of this PC's Pallix holds while it watches.
inline constexpr char MonitorLockName[] = "pallix/monitor";

// Takes the lock name for program; null, and who holds it, when it is taken.
// A lock that cannot be made at all (no Unix sockets) counts as taken by
// nobody known.
std::unique_ptr<MonitorLock> takeSocketLock(const std::string &name, const std::string &program,
                                            MonitorHolder *holder);
