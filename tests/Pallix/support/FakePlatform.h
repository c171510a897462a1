// A Platform and Desktop that record what the application asked of the system and
// answers message boxes from a queue (OK when the queue is empty). Boxes
// shown without waiting are answered from the event loop, as a person would,
// or kept open with holdBoxes until answerOpenBox.
#pragma once

#include "Desktop.h"
#include "Platform.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

struct RecordedBox {
    QString text;
    QString title;
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

    int messageBox(const QString &text, const QString &title, MsgIcon icon,
                   MsgButtons buttons) override
    {
        boxes.push_back({text, title, icon, buttons, false});
        if (onBox) onBox(boxes.back());
        return nextAnswer();
    }
    void showBox(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                 BoxAnswered answered) override
    {
        boxes.push_back({text, title, icon, buttons, false});
        if (onBox) onBox(boxes.back());
        openBox(std::move(answered));
    }
    void showMessageWindow(const QString &text, BoxAnswered answered) override
    {
        boxes.push_back({text, QString(), MsgIcon::None, MsgButtons::OKCancel, true});
        if (onBox) onBox(boxes.back());
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
    int openDocument(const QString &pathOrUrl) override
    {
        opened.push_back(pathOrUrl);
        return openResult;
    }
    QList<LocalNetwork> localNetworks() override
    {
        if (!networks.isEmpty()) return networks;
        QList<LocalNetwork> list;
        for (const QString &a : addresses)
            list.push_back({a, QString(), QStringLiteral("if-") + a, true});
        return list;
    }
    int runningCopies(const QString &) override { return copies; }
    int runningOnThisPC(const QString &name) override { return elsewhere.value(name); }
    OSVersion osVersion() override { return version; }
    bool trayAvailable() override { return tray; }
    void setMousePointer(MousePointer) override {}
    void closeAll() override { ++closedAll; }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto &b : boxes)
            texts << b.text;
        return texts;
    }

    std::deque<int> answers;   // answers to boxes and message windows, in order
    std::function<void(const RecordedBox &)> onBox;
    QList<RecordedBox> boxes;
    QList<CommandLine> commands;
    QList<CommandLine> updaters;
    QStringList opened;
    bool updaterStarts = true;
    int openResult = 42;
    QStringList addresses{"127.0.0.1"};   // one interface each, no broadcast given
    QList<LocalNetwork> networks;         // replaces addresses when set
    bool holdBoxes = false;               // boxes stay open until answerOpenBox
    std::deque<BoxAnswered> open;         // held boxes, oldest first
    int copies = 1;
    QHash<QString, int> elsewhere;   // processes of any user, by executable name
    OSVersion version{6, 1};
    bool tray = true;
    int closedAll = 0;   // times the application closed every window

private:
    void openBox(BoxAnswered answered)
    {
        if (holdBoxes) {
            open.push_back(std::move(answered));
            return;
        }
        const int answer = nextAnswer();
        if (answered) QTimer::singleShot(0, [answered, answer] { answered(answer); });
    }
    int nextAnswer()
    {
        if (answers.empty()) return MsgOK;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
};
