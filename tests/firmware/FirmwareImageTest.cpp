#include <gtest/gtest.h>

#include <sstream>

#include "FirmwareTestSupport.h"
#include "firmwareImage.h"

using fwtest::recordText;

namespace {

FirmwareImage parse(const std::string &text) {
    std::istringstream in(text);
    return nrParseFirmwareImage(in);
}

TEST(FirmwareImage, ReadsAddressAndDataOfEachRecordInFileOrder) {
    const FirmwareImage image = parse(recordText(0x1FFC0, 0x10) + "\r\n  " + recordText(0x000040, 0xF0));
    ASSERT_TRUE(image.accepted()) << image.error;
    ASSERT_EQ(image.tokens.size(), 2u);
    ASSERT_TRUE(image.tokens[0].record);
    EXPECT_EQ(image.tokens[0].record->address, 0x1FFC0u);
    EXPECT_EQ(image.tokens[0].record->data[0], 0x10);
    EXPECT_EQ(image.tokens[0].record->data[63], 0x4F);
    EXPECT_EQ(image.tokens[1].record->address, 0x40u);
    EXPECT_EQ(image.tokens[1].record->data[15], 0xFF);
    EXPECT_EQ(image.tokens[1].record->data[16], 0x00);  // fill wraps
}

TEST(FirmwareImage, CommentsAreTokensWithoutRecords) {
    const FirmwareImage image = parse("#one #two\n" + recordText(0) + "\n#three\n");
    ASSERT_TRUE(image.accepted()) << image.error;
    ASSERT_EQ(image.tokens.size(), 4u);
    EXPECT_FALSE(image.tokens[0].record);
    EXPECT_FALSE(image.tokens[1].record);
    EXPECT_TRUE(image.tokens[2].record);
    EXPECT_FALSE(image.tokens[3].record);
}

TEST(FirmwareImage, LowerCaseDigitsAndTheUnusedCharactersAreAccepted) {
    std::string record = recordText(0xABCDC0, 0xA0);
    for (char &c : record) c = char(std::tolower(static_cast<unsigned char>(c)));
    record[0] = 'S';  // record mark and the two digits after it are not examined
    record[1] = 'z';
    const FirmwareImage image = parse(record + "trailing-characters-are-ignored");
    ASSERT_TRUE(image.accepted()) << image.error;
    EXPECT_EQ(image.tokens[0].record->address, 0xABCDC0u);
    EXPECT_EQ(image.tokens[0].record->data[0], 0xA0);
}

TEST(FirmwareImage, RefusesAShortRecordNamingItsLine) {
    const std::string text = "#head\n" + recordText(0) + "\n" + recordText(0x40).substr(0, 136) + "\n";
    const FirmwareImage image = parse(text);
    EXPECT_FALSE(image.accepted());
    EXPECT_NE(image.error.find("line 3"), std::string::npos) << image.error;
    EXPECT_NE(image.error.find("shorter than 137"), std::string::npos) << image.error;
    EXPECT_TRUE(image.tokens.empty());
}

TEST(FirmwareImage, RefusesACommentWordThatIsNotACommentToken) {
    // Whitespace splits tokens, so the second word of a spaced comment is a record.
    const FirmwareImage image = parse("# generated\n" + recordText(0));
    EXPECT_FALSE(image.accepted());
    EXPECT_NE(image.error.find("line 1"), std::string::npos) << image.error;
}

TEST(FirmwareImage, RefusesATokenOf2000CharactersButNotOf1999) {
    const std::string record = recordText(0);
    EXPECT_TRUE(parse(record + std::string(1999 - record.size(), '0')).accepted());
    const FirmwareImage image = parse(recordText(0x40) + "\n" + record + std::string(2000 - record.size(), '0'));
    EXPECT_FALSE(image.accepted());
    EXPECT_NE(image.error.find("line 2"), std::string::npos) << image.error;
    EXPECT_NE(image.error.find("2000 characters"), std::string::npos) << image.error;
    EXPECT_FALSE(parse("#" + std::string(5000, 'x')).accepted());  // comments too
}

TEST(FirmwareImage, RefusesANonHexCharacterInAddressOrData) {
    for (size_t at : {size_t(3), size_t(8), size_t(9), size_t(100), size_t(136)}) {
        std::string record = recordText(0);
        record[at] = 'G';
        const FirmwareImage image = parse(record);
        EXPECT_FALSE(image.accepted()) << "character " << at;
        EXPECT_NE(image.error.find("'G' at character " + std::to_string(at)), std::string::npos) << image.error;
    }
}

TEST(FirmwareImage, RefusesAFileThatCannotBeOpenedOrRead) {
    const FirmwareImage missing = nrReadFirmwareImage("/nonexistent/pallix/test_out.hex");
    EXPECT_FALSE(missing.accepted());
    EXPECT_NE(missing.error.find("/nonexistent/pallix/test_out.hex"), std::string::npos);
    EXPECT_FALSE(nrReadFirmwareImage(std::filesystem::temp_directory_path().string()).accepted());
}

TEST(FirmwareImage, ReadsTheCarriedImage) {
    const FirmwareImage image = nrReadFirmwareImage(PALLIX_CARRIED_IMAGE);
    ASSERT_TRUE(image.accepted()) << image.error;
    std::vector<uint32_t> addresses;
    const FirmwareRecord *identity = nullptr;
    for (const FirmwareToken &token : image.tokens) {
        if (!token.record) continue;
        addresses.push_back(token.record->address);
        if (token.record->address == 0xFBC0) identity = &*token.record;
    }
    ASSERT_EQ(addresses.size(), 0x20000u / 64);
    for (size_t i = 0; i < addresses.size(); ++i) ASSERT_EQ(addresses[i], i * 64);
    ASSERT_NE(identity, nullptr);
    EXPECT_EQ(std::string(identity->data.begin() + 6, identity->data.begin() + 11), "01.03");
}

}  // namespace
