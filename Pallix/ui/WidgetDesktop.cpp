#include "WidgetDesktop.h"

#include "QtText.h"
#include "frmMsgBox.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QUrl>

#include <memory>

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

// The box with its buttons: Restore beside OK, which stays the default and
// the answer of a box closed otherwise.
QMessageBox *newBox(const std::string &text, const std::string &title, MsgIcon icon,
                    MsgButtons buttons)
{
    auto *box = new QMessageBox(boxIcon(icon), qText(title), qText(text), boxButtons(buttons));
    box->setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::OKRestore) {
        box->addButton(QStringLiteral("&Restore"), QMessageBox::ActionRole);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    return box;
}

int answerOf(const QMessageBox &box)
{
    QAbstractButton *clicked = box.clickedButton();
    if (clicked && box.buttonRole(clicked) == QMessageBox::ActionRole)
        return MsgRestore;
    if (box.standardButton(clicked) == QMessageBox::Ok) return MsgOK;
    return box.standardButtons() == QMessageBox::Ok ? MsgOK : MsgCancel;
}

}   // namespace

int WidgetDesktop::messageBox(const std::string &text, const std::string &title, MsgIcon icon,
                              MsgButtons buttons)
{
    const std::unique_ptr<QMessageBox> box(newBox(text, title, icon, buttons));
    box->exec();
    return answerOf(*box);
}

void WidgetDesktop::showBox(const std::string &text, const std::string &title, MsgIcon icon,
                            MsgButtons buttons, BoxAnswered answered)
{
    QMessageBox *box = newBox(text, title, icon, buttons);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not application-modal: the countdown's Cancel must stay within reach.
    box->setWindowModality(Qt::NonModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, answered](int) {
        if (answered) answered(answerOf(*box));
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
