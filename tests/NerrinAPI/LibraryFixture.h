// Each test starts from the library's load-time state and records the
// message boxes the library shows instead of printing them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "NerrinAPI.h"
#include "State.h"

struct ShownBox {
    std::string caption;
    std::string text;
};

inline std::vector<ShownBox> &shownBoxes() {
    static std::vector<ShownBox> boxes;
    return boxes;
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        nrResetState();
        shownBoxes().clear();
        NrSetMessageHandler([](const char *caption, const char *text) {
            shownBoxes().push_back({caption, text});
        });
    }
    void TearDown() override { NrSetMessageHandler(nullptr); }

    static void setSlot(int slot, const std::string &text) {
        std::memset(nrLib.replySlots[slot], 0, sizeof nrLib.replySlots[slot]);
        std::memcpy(nrLib.replySlots[slot], text.data(), text.size());
    }

    static std::vector<std::string> boxTexts() {
        std::vector<std::string> texts;
        for (const ShownBox &box : shownBoxes()) texts.push_back(box.text);
        return texts;
    }
};

inline std::string repeated(const std::string &text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}
