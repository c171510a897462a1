// The addresses a user writes for nut-address and metrics-address: what is
// taken, and what is refused with the text named.
#include "ListenAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(ListenAddress, WrittenAddressesAreTakenWithTheirPortOrTheDefault)
{
    const std::pair<const char *, const char *> taken[] = {
        {"192.168.1.10", "192.168.1.10:3493"},
        {" 0.0.0.0:3494 ", "0.0.0.0:3494"},
        {"::", "[::]:3493"},
        {"[::1]:9199", "[::1]:9199"},
        {"[fe80::1]", "[fe80::1]:3493"},
    };
    for (const auto &[text, address] : taken)
        EXPECT_EQ(parseListenAddress(QString::fromUtf8(text), 3493).text(), address) << text;
}

TEST(ListenAddress, BadAddressesAreRefusedNamingTheText)
{
    const std::pair<const char *, quint16> refused[] = {
        {"localhost", 3493},
        {"192.168.1.10:", 3493},
        {"192.168.1.10:0", 3493},
        {"1.2.3.4:70000", 3493},
        {"[::1", 3493},
        {"[::1]9199", 3493},
        {"", 3493},
        {"127.0.0.1", 0},
    };
    for (const auto &[text, defaultPort] : refused) {
        try {
            parseListenAddress(QString::fromUtf8(text), defaultPort);
            ADD_FAILURE() << "taken: " << text;
        } catch (const ListenError &error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("\"" + std::string(text) + "\": "))
                << error.what();
        }
    }
}

}   // namespace
