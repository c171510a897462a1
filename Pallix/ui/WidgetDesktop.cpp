#include "WidgetDesktop.h"

#include "QtText.h"
#include "frmMsgBox.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QUrl>

namespace {

// Shell codes of a failed open, as the system numbers them.
constexpr int FileNotFound = 2;
constexpr int NoAssociation = 31;
constexpr int OpenSucceeded = 42;

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(MsgButtons buttons)
{
    return buttons == MsgButtons::OKCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                           : QMessageBox::Ok;
}

}   // namespace

int WidgetDesktop::messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                              MsgButtons buttons)
{
    QMessageBox box(boxIcon(icon), qText(title), qText(text), boxButtons(buttons));
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok ? MsgOK : MsgCancel;
}

void WidgetDesktop::showBox(const std::string &text, const std::string &title, MsgIcon icon,
                            MsgButtons buttons, BoxAnswered answered)
{
    auto *box = new QMessageBox(boxIcon(icon), qText(title), qText(text), boxButtons(buttons));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not application-modal: the countdown's Cancel must stay within reach.
    box->setWindowModality(Qt::NonModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered](int) {
        const bool ok = box->standardButton(box->clickedButton()) == QMessageBox::Ok;
        if (answered) answered(ok ? MsgOK : MsgCancel);
    });
    box->show();
    box->raise();
    box->activateWindow();
}

void WidgetDesktop::showMessageWindow(const std::string &text, BoxAnswered answered)
{
    frmMsgBox::instance().showMessage(qText(text), std::move(answered));
}

int WidgetDesktop::openDocument(const std::string &pathOrUrl)
{
    const QUrl url =
        QUrl::fromUserInput(qText(pathOrUrl), QDir::currentPath(), QUrl::AssumeLocalFile);
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return FileNotFound;
    return QDesktopServices::openUrl(url) ? OpenSucceeded : NoAssociation;
}

bool WidgetDesktop::trayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void WidgetDesktop::setMousePointer(MousePointer pointer)
{
    if (pointer == MousePointer::Default) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        return;
    }
    const QCursor cursor(pointer == MousePointer::Hourglass ? Qt::WaitCursor : Qt::BusyCursor);
    // One override at most, so a single restore always brings the default back.
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
}

void WidgetDesktop::closeAll() { QApplication::closeAllWindows(); }
