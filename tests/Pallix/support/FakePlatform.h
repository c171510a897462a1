// A Platform and Desktop that record what the application asked of the
// system and answer message boxes from a queue (OK when the queue is
// empty). Boxes shown without waiting are answered from the event loop, as
// a person would, or kept open with holdBoxes until answerOpenBox.
#pragma once

#include "app/Desktop.h"
#include "app/Platform.h"
#include "loop/EventLoop.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct RecordedBox {
    std::string text;
    std::string title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;
    bool window = false;   // shown in the message window rather than a box
};

class FakePlatform : public Platform, public Desktop {
public:
    FakePlatform()
    {
        Platform::install(this);
        Desktop::install(this);
    }
    ~FakePlatform() override
    {
        Platform::install(nullptr);
        Desktop::install(nullptr);
    }

    int messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                   MsgButtons buttons) override
    {
        record({text, title, icon, buttons, false});
        return nextAnswer();
    }
    void showBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons, BoxAnswered answered) override
    {
        record({text, title, icon, buttons, false});
        openBox(std::move(answered));
    }
    void showMessageWindow(const std::string &text, BoxAnswered answered) override
    {
        record({text, std::string(), MsgIcon::None, MsgButtons::OKCancel, true});
        openBox(std::move(answered));
    }
    // Answers the oldest box still open.
    void answerOpenBox(int answer)
    {
        if (open.empty()) return;
        BoxAnswered answered = std::move(open.front());
        open.pop_front();
        if (answered) answered(answer);
    }
    void runCommand(const CommandLine &command) override { commands.push_back(command); }
    bool startUpdater(const CommandLine &command) override
    {
        updaters.push_back(command);
        return updaterStarts;
    }
    int openDocument(const std::string &pathOrUrl) override
    {
        opened.push_back(pathOrUrl);
        return openResult;
    }
    std::vector<LocalNetwork> localNetworks() override
    {
        if (!networks.empty()) return networks;
        std::vector<LocalNetwork> list;
        for (const std::string &a : addresses)
            list.push_back({a, std::string(), "if-" + a, true});
        return list;
    }
    int runningCopies(const std::string &) override { return copies; }
    std::unique_ptr<MonitorLock> takeMonitorLock(const std::string &,
                                                 MonitorHolder *holder) override
    {
        if (!monitorHolder) return std::make_unique<MonitorLock>();
        *holder = *monitorHolder;
        return nullptr;
    }
    OSVersion osVersion() override { return version; }
    bool trayAvailable() override { return tray; }
    void setMousePointer(MousePointer) override {}
    void closeAll() override { ++closedAll; }

    std::vector<std::string> boxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto &b : boxes)
            texts.push_back(b.text);
        return texts;
    }

    std::deque<int> answers;   // answers to boxes and message windows, in order
    std::function<void(const RecordedBox &)> onBox;
    std::vector<RecordedBox> boxes;
    std::vector<CommandLine> commands;
    std::vector<CommandLine> updaters;
    std::vector<std::string> opened;
    bool updaterStarts = true;
    int openResult = 42;
    std::vector<std::string> addresses{"127.0.0.1"};   // one interface each, no broadcast given
    std::vector<LocalNetwork> networks;                // replaces addresses when set
    bool holdBoxes = false;                            // boxes stay open until answerOpenBox
    std::deque<BoxAnswered> open;                      // held boxes, oldest first
    int copies = 1;
    std::optional<MonitorHolder> monitorHolder;   // another monitor holds this PC's lock
    OSVersion version{6, 1};
    bool tray = true;
    int closedAll = 0;   // times the application closed every window

private:
    void record(RecordedBox box)
    {
        boxes.push_back(std::move(box));
        if (onBox) onBox(boxes.back());
    }
    void openBox(BoxAnswered answered)
    {
        if (holdBoxes) {
            open.push_back(std::move(answered));
            return;
        }
        const int answer = nextAnswer();
        if (answered)
            loop::EventLoop::current().post([answered, answer] { answered(answer); });
    }
    int nextAnswer()
    {
        if (answers.empty()) return MsgOK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};
