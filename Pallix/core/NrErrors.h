// Run-time errors of the application and their reporting.
#pragma once

#include <QString>
#include <exception>

class NrError : public std::exception {
public:
    NrError(int number, QString description);
    int number() const { return number_; }
    const QString &description() const { return description_; }
    const char *what() const noexcept override;

private:
    int number_;
    QString description_;
    QByteArray what_;
};

// Throws NrError(status, "Error: " + operation) and marks a device error
// when status is not 0; clears the mark otherwise.
void checkError(int status, const QString &operation);

// The one handler every event handler hands its error to.
void showError(const NrError &error);
