// Run-time errors of the application and their reporting.
#pragma once

#include <exception>
#include <functional>
#include <string>

class NrError : public std::exception {
public:
    NrError(int number, std::string description, bool fromDevice = false);
    int number() const { return number_; }
    const std::string &description() const { return description_; }
    // A library call failed: the device did not answer as it should.
    bool fromDevice() const { return fromDevice_; }
    const char *what() const noexcept override { return description_.c_str(); }

    // "<description> (<number>)", as boxes and replies show it.
    std::string text() const;

private:
    int number_;
    std::string description_;
    bool fromDevice_;
};

// Throws NrError(status, "Error: " + operation), a device error, when status
// is not 0. Runs wherever the library call ran.
void checkError(int status, const std::string &operation);

// The one handler every event handler hands its error to. A device error is
// logged (and shown in the message window while a self test runs), and
// whoever watches the device is told; any other error is shown in a box.
void showError(const NrError &error);

// Runs an event handler's body; its run-time error goes to showError.
template <typename Body> void reportingErrors(Body body)
{
    try {
        body();
    } catch (const NrError &error) {
        showError(error);
    }
}

// Who is told of device errors: the device watch, which decides what one
// means for watching. Null: nobody.
void setDeviceErrorListener(std::function<void()> listener);
