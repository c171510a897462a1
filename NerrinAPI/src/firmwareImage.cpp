#include "firmwareImage.h"

#include <cctype>
#include <fstream>
#include <istream>

#include "firmwareLayout.h"

namespace {

using namespace firmware_record;

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isSpace(int c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Splits the text into whitespace-separated tokens, remembering the line
// each one starts on. Stops with an error at the first overlong token.
class TokenReader {
public:
    explicit TokenReader(std::istream &text) : text_(text) {}

    // False at the end of the text or on an error.
    bool next(std::string &token) {
        token.clear();
        int c = skipSpace();
        if (c == EOF)
            return false;
        line_ = currentLine_;
        while (c != EOF && !isSpace(c)) {
            if (token.size() + 1 >= kTokenLimit) {
                error_ = "a token of " + std::to_string(kTokenLimit) + " characters or more";
                return false;
            }
            token.push_back(static_cast<char>(c));
            c = text_.get();
        }
        if (c == '\n')
            ++currentLine_;
        return true;
    }

    int line() const { return line_; }
    const std::string &error() const { return error_; }

private:
    int skipSpace() {
        int c = text_.get();
        while (c != EOF && isSpace(c)) {
            if (c == '\n')
                ++currentLine_;
            c = text_.get();
        }
        return c;
    }

    std::istream &text_;
    int currentLine_ = 1;
    int line_ = 1;
    std::string error_;
};

// Decodes one record token; returns an empty text or the fault.
std::string decodeRecord(const std::string &token, FirmwareRecord &record) {
    if (token.size() < kLength)
        return "a record of " + std::to_string(token.size()) + " characters, shorter than " +
               std::to_string(kLength);
    for (size_t i = kAddressOffset; i < kLength; ++i) {
        if (hexValue(token[i]) < 0)
            return std::string("'") + token[i] + "' at character " + std::to_string(i) +
                   " is not a hex digit";
    }
    record.address = 0;
    for (size_t i = 0; i < kAddressDigits; ++i)
        record.address = record.address << 4 | static_cast<uint32_t>(hexValue(token[kAddressOffset + i]));
    for (size_t k = 0; k < kDataBytes; ++k) {
        const size_t at = kDataOffset + 2 * k;
        record.data[k] = static_cast<uint8_t>(hexValue(token[at]) << 4 | hexValue(token[at + 1]));
    }
    return {};
}

}  // namespace

FirmwareImage nrParseFirmwareImage(std::istream &text) {
    FirmwareImage image;
    TokenReader reader(text);
    std::string token;
    while (reader.next(token)) {
        FirmwareToken entry;
        entry.line = reader.line();
        if (token.front() != kCommentMark) {
            FirmwareRecord record;
            const std::string fault = decodeRecord(token, record);
            if (!fault.empty()) {
                image.error = "line " + std::to_string(reader.line()) + ": " + fault;
                break;
            }
            entry.record = record;
        }
        image.tokens.push_back(entry);
    }
    if (image.error.empty() && !reader.error().empty())
        image.error = "line " + std::to_string(reader.line()) + ": " + reader.error();
    if (image.error.empty() && text.bad())
        image.error = "the file could not be read to its end";
    if (!image.error.empty())
        image.tokens.clear();
    return image;
}

FirmwareImage nrReadFirmwareImage(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        FirmwareImage image;
        image.error = "cannot open " + path;
        return image;
    }
    FirmwareImage image = nrParseFirmwareImage(file);
    if (image.accepted())
        image.error = nrCheckFirmwareLayout(image);
    if (!image.accepted()) {
        image.tokens.clear();
        image.error = path + ", " + image.error;
    }
    return image;
}
