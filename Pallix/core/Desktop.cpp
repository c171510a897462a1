#include "Desktop.h"

#include <cstdio>
#include <utility>

namespace {

// Nobody looks: boxes are written to standard error, questions get Cancel.
class NoDesktop : public Desktop {
public:
    int messageBox(const QString &text, const QString &title, MsgIcon, MsgButtons buttons) override
    {
        write(title, text);
        return buttons == MsgButtons::OK ? MsgOK : MsgCancel;
    }
    void showBox(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                 BoxAnswered answered) override
    {
        const int answer = messageBox(text, title, icon, buttons);
        if (answered) answered(answer);
    }
    void showMessageWindow(const QString &text, BoxAnswered answered) override
    {
        showBox(text, QString(), MsgIcon::None, MsgButtons::OKCancel, std::move(answered));
    }
    int openDocument(const QString &) override { return NoAssociation; }
    bool trayAvailable() override { return false; }
    void setMousePointer(MousePointer) override {}
    void closeAll() override {}

private:
    static constexpr int NoAssociation = 31;

    static void write(const QString &title, const QString &text)
    {
        QString line = text;
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                     line.toLocal8Bit().constData());
    }
};

NoDesktop none;
Desktop *installed = nullptr;

}   // namespace

Desktop &Desktop::current() { return installed ? *installed : none; }

void Desktop::install(Desktop *desktop) { installed = desktop; }
