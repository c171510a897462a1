// The export table: every name of the ordinal list resolves in the built
// library, and the library answers through those names alone.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "LoadedLibrary.h"
#include "NerrinAPI.h"

namespace {

struct Export {
    std::string name;
    int ordinal;
};

std::vector<Export> ordinalList() {
    std::ifstream def(NERRINAPI_DEF_PATH);
    const std::regex line(R"(^\s+(\w+)\s+@(\d+)\s*$)");
    std::vector<Export> exports;
    for (std::string text; std::getline(def, text);) {
        std::smatch match;
        if (std::regex_match(text, match, line)) exports.push_back({match[1], std::stoi(match[2])});
    }
    return exports;
}

TEST(NrExports, OrdinalsRunFromOneToFortyOne) {
    const std::vector<Export> exports = ordinalList();
    ASSERT_EQ(exports.size(), 41u);
    for (size_t i = 0; i < exports.size(); ++i) EXPECT_EQ(exports[i].ordinal, int(i + 1));
    EXPECT_EQ(exports[0].name, "NrDiscovery");
    EXPECT_EQ(exports[4].name, "pallixGetGlobalStatus");
    EXPECT_EQ(exports[34].name, "pallixGetInState");
    EXPECT_EQ(exports[37].name, "NrGetDiscoveryString");
}

TEST(NrExports, EveryNameResolvesInTheSharedLibrary) {
    LoadedLibrary library(NERRINAPI_LIBRARY_PATH);
    ASSERT_TRUE(library.loaded()) << dlerror();
    std::vector<Export> exports = ordinalList();
    ASSERT_FALSE(exports.empty());
    // Here the library carries the system strings as well.
    for (const char *name : {"SysAllocStringByteLen", "SysFreeString", "SysStringByteLen"}) {
        exports.push_back({name, 0});
    }
    for (const Export &e : exports) EXPECT_NE(library.symbol(e.name), nullptr) << e.name;
}

TEST(NrExports, InternalFunctionsStayHidden) {
    LoadedLibrary library(NERRINAPI_LIBRARY_PATH);
    ASSERT_TRUE(library.loaded());
    for (const char *name : {"_Z7nrCrc16PKhh", "nrLib", "_Z13nrTransactionPKhiPKci"}) {
        EXPECT_EQ(library.symbol(name), nullptr) << name;
    }
}

TEST(NrExports, ResolvedFunctionsWorkWithoutADevice) {
    LoadedLibrary library(NERRINAPI_LIBRARY_PATH);
    ASSERT_TRUE(library.loaded());
    const auto setDevice = library.function<decltype(NrSetDevice)>("NrSetDevice");
    const auto getDevice = library.function<decltype(NrGetDevice)>("NrGetDevice");
    const auto byteLength = library.function<decltype(SysStringByteLen)>("SysStringByteLen");
    const auto freeString = library.function<decltype(SysFreeString)>("SysFreeString");
    ASSERT_TRUE(setDevice && getDevice && byteLength && freeString);
    EXPECT_EQ(setDevice("127.0.0.2"), 0);
    BSTR blank = getDevice(7);
    EXPECT_EQ(byteLength(blank), 1u);
    EXPECT_STREQ(blank, " ");
    freeString(blank);
}

}  // namespace
