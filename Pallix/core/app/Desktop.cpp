#include "app/Desktop.h"

#include "app/Text.h"

#include <cstdio>
#include <utility>

namespace {

// Nobody looks: boxes are written to standard error, questions get Cancel
// and an offer to restore gets OK.
class NoDesktop : public Desktop {
public:
    int messageBox(const std::string &text, const std::string &title, MsgIcon,
                   MsgButtons buttons) override
    {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), replaceAll(text, "\r\n", " ").c_str());
        return buttons == MsgButtons::OKCancel ? MsgCancel : MsgOK;
    }
    void showBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons, BoxAnswered answered) override
    {
        const int answer = messageBox(text, title, icon, buttons);
        if (answered) answered(answer);
    }
    void showMessageWindow(const std::string &text, BoxAnswered answered) override
    {
        showBox(text, std::string(), MsgIcon::None, MsgButtons::OKCancel, std::move(answered));
    }
    int openDocument(const std::string &) override { return NoAssociation; }
    bool trayAvailable() override { return false; }
    void setMousePointer(MousePointer) override {}
    void closeAll() override {}

private:
    static constexpr int NoAssociation = 31;
};

NoDesktop none;
Desktop *installed = nullptr;

}   // namespace

Desktop &Desktop::current() { return installed ? *installed : none; }

void Desktop::install(Desktop *desktop) { installed = desktop; }

BoxAnswer askBox(const std::string &text, const std::string &title, MsgIcon icon,
                 MsgButtons buttons)
{
    return BoxAnswer([=](BoxAnswered answered) {
        Desktop::current().showBox(text, title, icon, buttons, std::move(answered));
    });
}

BoxAnswer askMessageWindow(const std::string &text)
{
    return BoxAnswer([=](BoxAnswered answered) {
        Desktop::current().showMessageWindow(text, std::move(answered));
    });
}
