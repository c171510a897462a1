// What the library keeps from discovery replies and hands out as text.
#include <gtest/gtest.h>

#include <string>

#include "Discovery.h"
#include "FakeDevice.h"
#include "LibraryFixture.h"

namespace {

const std::string kRecord = "NERRIN:PALLIX:192.168.1.20:255.255.255.0:00-1A-2B-3C-4D-5E:X:01.03";

using NrDiscoveryText = LibraryTest;

TEST_F(NrDiscoveryText, VersionAndMacComeFromTheirFields) {
    setSlot(0, kRecord);
    nrParseVersion();
    nrParseMAC();
    EXPECT_EQ(takeText(NrGetFirmwareVersion()), "01.03");
    EXPECT_EQ(takeText(NrGetMACAddress()), "00-1A-2B-3C-4D-5E");
    const uint8_t expected[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(0, std::memcmp(nrLib.macBytes, expected, 6));
}

TEST_F(NrDiscoveryText, ColonsAfterTheFieldAreSkippedAndTheWalkIsLimited) {
    setSlot(0, "a:b:c:d:11.22.33.44.55.66.77:e:" + std::string(80, 'v') + ":w");
    nrParseVersion();
    nrParseMAC();
    EXPECT_EQ(std::string(nrLib.versionText), std::string(55, 'v'));
    // Seventeen characters, colons left out, run across the following fields.
    EXPECT_EQ(std::string(nrLib.macText), "11.22.33.44.55.66");

    std::memset(nrLib.versionText, 0, sizeof nrLib.versionText);
    setSlot(0, "a:b:c:d:e:f:01:03");
    nrParseVersion();
    EXPECT_EQ(std::string(nrLib.versionText), "0103");
}

TEST_F(NrDiscoveryText, ShorterSecondVersionLeavesTheOldTail) {
    setSlot(0, "a:b:c:d:00-00-00-00-00-00:e:01.03.17-beta");
    nrParseVersion();
    setSlot(0, "a:b:c:d:00-00-00-00-00-00:e:2.0");
    nrParseVersion();
    EXPECT_EQ(std::string(nrLib.versionText), "2.003.17-beta");
    EXPECT_EQ(takeText(NrGetFirmwareVersion()), "2.003");
}

TEST_F(NrDiscoveryText, ReplyWithoutMacFieldKeepsOldMacText) {
    setSlot(0, "a:b:c:d:AA-BB-CC-DD-EE-FF:e:1");
    nrParseMAC();
    setSlot(0, "a:b:c");
    nrParseMAC();
    EXPECT_EQ(takeText(NrGetMACAddress()), "AA-BB-CC-DD-EE-FF");
    EXPECT_EQ(nrLib.macBytes[5], 0xFF);
}

TEST_F(NrDiscoveryText, NonHexCharactersCountAsZero) {
    setSlot(0, "a:b:c:d:G1-zz-a0-Ff-9-:");
    nrParseMAC();
    const uint8_t expected[6] = {0x01, 0x00, 0xA0, 0xFF, 0x90, 0x00};
    EXPECT_EQ(0, std::memcmp(nrLib.macBytes, expected, 6));
    EXPECT_EQ(nrHexDigitValue('f'), 15);
    EXPECT_EQ(nrHexDigitValue('F'), 15);
    EXPECT_EQ(nrHexDigitValue('g'), 0);
}

TEST_F(NrDiscoveryText, FixedLengthResultsEvenWhenNothingWasFound) {
    const std::string version = takeText(NrGetFirmwareVersion());
    const std::string mac = takeText(NrGetMACAddress());
    EXPECT_EQ(version, std::string(5, '\0'));
    EXPECT_EQ(mac, std::string(17, '\0'));
}

TEST_F(NrDiscoveryText, DeviceSlotsAndOtherIndices) {
    setSlot(0, "first");
    setSlot(3, "fourth");
    EXPECT_EQ(takeText(NrGetDevice(0)), "first");
    EXPECT_EQ(takeText(NrGetDevice(1)), "");
    EXPECT_EQ(takeText(NrGetDevice(3)), "fourth");
    EXPECT_EQ(takeText(NrGetDevice(4)), " ");
    EXPECT_EQ(takeText(NrGetDevice(-1)), " ");
    EXPECT_EQ(takeText(NrGetDiscoveryString()), "first");
}

TEST_F(NrDiscoveryText, SetDeviceCopiesTheText) {
    EXPECT_EQ(NrSetDevice("127.0.0.2"), 0);
    EXPECT_STREQ(nrLib.deviceAddress, "127.0.0.2");
    NrSetDevice("10.0.0.1");
    EXPECT_STREQ(nrLib.deviceAddress, "10.0.0.1");
}

TEST_F(NrDiscoveryText, OverlongDeviceTextKeepsTheFirst1023Characters) {
    const std::string longText = std::string(1500, '7');
    EXPECT_EQ(NrSetDevice(longText.c_str()), 0);
    EXPECT_EQ(std::string(nrLib.deviceAddress), std::string(1023, '7'));
    const std::string exact(1024, '8');
    NrSetDevice(exact.c_str());
    EXPECT_EQ(std::string(nrLib.deviceAddress), std::string(1023, '8'));
}

TEST(NrSystemStrings, LengthPrefixAndTerminatingZero) {
    const char bytes[] = {'a', '\0', 'b'};
    BSTR text = SysAllocStringByteLen(bytes, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringByteLen(text), 3u);
    uint32_t prefix;
    std::memcpy(&prefix, text - 4, 4);
    EXPECT_EQ(prefix, 3u);
    EXPECT_EQ(text[1], '\0');
    EXPECT_EQ(text[2], 'b');
    EXPECT_EQ(text[3], '\0');
    SysFreeString(text);
}

TEST(NrSystemStrings, NullInputsAreHarmless) {
    BSTR blank = SysAllocStringByteLen(nullptr, 4);
    EXPECT_EQ(std::string(blank, 4), std::string(4, '\0'));
    SysFreeString(blank);
    SysFreeString(nullptr);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
}

}  // namespace
