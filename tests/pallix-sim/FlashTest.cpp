#include <gtest/gtest.h>

#include <array>

#include "Flash.h"

using namespace pallixsim;

namespace {

constexpr std::array<uint8_t, 6> kMac{0x02, 0x50, 0x4C, 0x00, 0x00, 0x01};
constexpr std::array<uint8_t, 5> kVersion{'0', '1', '.', '0', '3'};

std::array<uint8_t, 64> unitData(uint32_t address) {
    std::array<uint8_t, 64> data;
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((address >> 6) + i);
    return data;
}

void eraseFrom(Flash &flash, uint32_t first) {
    for (uint32_t block = first; block < Flash::kSize; block += Flash::kBlockSize) {
        ASSERT_EQ(flash.erase(block), ReplyCode::Ok) << std::hex << block;
    }
}

void writeStaging(Flash &flash) {
    for (uint32_t unit = Flash::kStagingStart; unit < Flash::kSize; unit += Flash::kUnitSize) {
        ASSERT_EQ(flash.write(unit, unitData(unit)), ReplyCode::Ok) << std::hex << unit;
    }
}

class SimFlashTest : public ::testing::Test {
protected:
    Flash flash{kMac, kVersion};
};

}  // namespace

TEST_F(SimFlashTest, StartsWithItsIdentityRecordAndErasedBytesElsewhere) {
    const auto record = flash.read(Flash::kMacRecord, 11);
    EXPECT_EQ(record, (std::vector<uint8_t>{0x02, 0x50, 0x4C, 0x00, 0x00, 0x01, '0', '1', '.', '0', '3'}));
    EXPECT_EQ(flash.read(0x10000, 1), std::vector<uint8_t>{0xFF});
}

TEST_F(SimFlashTest, RefusesProgrammingOutsideProgramMode) {
    EXPECT_EQ(flash.erase(0x10000), ReplyCode::NotInProgramMode);
    EXPECT_EQ(flash.write(0x10000, unitData(0)), ReplyCode::NotInProgramMode);
    EXPECT_EQ(flash.copy(), ReplyCode::NotInProgramMode);
}

TEST_F(SimFlashTest, EraseThenWriteOncePerUnit) {
    flash.enterProgramMode();
    EXPECT_EQ(flash.write(0x10000, unitData(0x10000)), ReplyCode::AlreadyWritten) << "not erased yet";
    ASSERT_EQ(flash.erase(0x10000), ReplyCode::Ok);
    EXPECT_EQ(flash.read(0x10000, 1024), std::vector<uint8_t>(1024, 0xFF));
    ASSERT_EQ(flash.write(0x10040, unitData(0x10040)), ReplyCode::Ok);
    const auto expected = unitData(0x10040);
    EXPECT_EQ(flash.read(0x10040, 64), std::vector<uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(flash.write(0x10040, unitData(0)), ReplyCode::AlreadyWritten);
    EXPECT_EQ(flash.read(0x10040, 64), std::vector<uint8_t>(expected.begin(), expected.end()));
}

TEST_F(SimFlashTest, RefusesBadAndProtectedAddresses) {
    flash.enterProgramMode();
    EXPECT_EQ(flash.erase(0x10200), ReplyCode::BadAddress);
    EXPECT_EQ(flash.erase(0x20000), ReplyCode::BadAddress);
    EXPECT_EQ(flash.erase(0xFC00), ReplyCode::Protected);
    EXPECT_EQ(flash.erase(0x0000), ReplyCode::BadAddress) << "the running image changes only by the copy";
    ASSERT_EQ(flash.erase(0x1FC00), ReplyCode::Ok);
    EXPECT_EQ(flash.write(0x1FC20, unitData(0)), ReplyCode::BadAddress);
    EXPECT_EQ(flash.write(0xFFC0, unitData(0)), ReplyCode::Protected);
    EXPECT_EQ(flash.write(0x1FFC0, unitData(0)), ReplyCode::Ok);
    EXPECT_EQ(flash.read(Flash::kMacRecord, 6), std::vector<uint8_t>(kMac.begin(), kMac.end()));
}

TEST_F(SimFlashTest, CopyNeedsACompleteStagedImage) {
    flash.enterProgramMode();
    EXPECT_EQ(flash.copy(), ReplyCode::ImageIncomplete) << "units programmed before the session do not count";
    eraseFrom(flash, 0x10000);
    writeStaging(flash);
    ASSERT_EQ(flash.erase(0x1FC00), ReplyCode::Ok);
    EXPECT_EQ(flash.copy(), ReplyCode::ImageIncomplete) << "one block erased again";
    EXPECT_EQ(flash.read(0, 1), std::vector<uint8_t>{0xFF});
}

TEST_F(SimFlashTest, ACompleteUpdateCopiesTheImageAndIsReportedOnLeaving) {
    flash.enterProgramMode();
    eraseFrom(flash, 0x10000);
    writeStaging(flash);
    ASSERT_EQ(flash.copy(), ReplyCode::Ok);
    EXPECT_TRUE(flash.programMode());
    const auto first = unitData(Flash::kStagingStart);
    EXPECT_EQ(flash.read(0, 64), std::vector<uint8_t>(first.begin(), first.end()));

    eraseFrom(flash, Flash::kStagingStart);
    writeStaging(flash);
    EXPECT_EQ(flash.leaveProgramMode(), Flash::Leave::NewImage);
    EXPECT_FALSE(flash.programMode());
}

TEST_F(SimFlashTest, LeavingAfterAnEraseWithoutACompleteUpdateLeavesNothingToRun) {
    flash.enterProgramMode();
    EXPECT_EQ(flash.leaveProgramMode(), Flash::Leave::OldImage) << "nothing erased";
    flash.enterProgramMode();
    ASSERT_EQ(flash.erase(0x1FC00), ReplyCode::Ok);
    EXPECT_EQ(flash.leaveProgramMode(), Flash::Leave::Broken) << "upper flash erased";
    flash.enterProgramMode();
    EXPECT_EQ(flash.leaveProgramMode(), Flash::Leave::Broken) << "still nothing to run";

    flash.enterProgramMode();
    eraseFrom(flash, 0x10000);
    writeStaging(flash);
    ASSERT_EQ(flash.copy(), ReplyCode::Ok);
    eraseFrom(flash, Flash::kStagingStart);
    EXPECT_EQ(flash.leaveProgramMode(), Flash::Leave::Broken) << "no second write";
}
