// A value is believed only when the device gave it twice in a row: one
// answer alone may be a reply that belonged to another request. Device
// thread only.
#pragma once

#include "app/NrErrors.h"

#include <string>

namespace registers {

inline constexpr int ConfirmAttempts = 3;
// Numbered as the library's "no reply": no answer that can be believed came.
inline constexpr int UnconfirmedError = 3;

// read() until two answers in a row agree, at most ConfirmAttempts reads;
// otherwise a device error "Error: <operation> (answers differ)".
template <typename Read> auto readConfirmed(Read read, const std::string &operation)
{
    auto last = read();
    for (int attempt = 1; attempt < ConfirmAttempts; ++attempt) {
        auto again = read();
        if (again == last) return again;
        last = again;
    }
    throw NrError(UnconfirmedError, "Error: " + operation + " (answers differ)", true);
}

}   // namespace registers
