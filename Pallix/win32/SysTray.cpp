#include "SysTray.h"

#include "WideText.h"

#include <cwchar>

namespace {

constexpr UINT IconId = 1;

// Copies into a fixed field of the icon record, cut to fit.
template <size_t N> void copyField(wchar_t (&field)[N], const std::string &text)
{
    std::wcsncpy(field, wideText(text).c_str(), N - 1);
    field[N - 1] = L'\0';
}

}   // namespace

TrayIcon::TrayIcon(HWND owner)
{
    data_.cbSize = sizeof data_;
    data_.hWnd = owner;
    data_.uID = IconId;
    data_.uCallbackMessage = CallbackMessage;
    copyField(data_.szTip, "Nerrin Pallix™");
}

void TrayIcon::add()
{
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    added_ = Shell_NotifyIconW(NIM_ADD, &data_);
}

void TrayIcon::remove()
{
    if (!added_) return;
    Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}

void TrayIcon::modify(UINT flags)
{
    if (!added_) return;
    data_.uFlags = flags;
    Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIcon::setIcon(HICON icon)
{
    data_.hIcon = icon;
    modify(NIF_ICON);
}

void TrayIcon::setToolTip(const std::string &toolTip)
{
    copyField(data_.szTip, toolTip);
    modify(NIF_TIP);
}

void TrayIcon::notify(const std::string &title, const std::string &text)
{
    copyField(data_.szInfoTitle, title);
    copyField(data_.szInfo, text);
    data_.dwInfoFlags = NIIF_INFO;
    modify(NIF_INFO);
}

TrayClicks::TrayClicks(std::function<void(int)> act) : act_(std::move(act))
{
    singleClick_.setSingleShot(true);
    singleClick_.setInterval(loop::Duration(GetDoubleClickTime()));
    singleClick_.onTimeout = [this] { act_(TrayLeftButtonUp); };
}

void TrayClicks::message(int mouseMessage)
{
    switch (mouseMessage) {
    case TrayLeftButtonUp:
        if (afterDoubleClick_) {
            afterDoubleClick_ = false;
            return;
        }
        singleClick_.start();
        break;
    case TrayLeftDoubleClick:
        singleClick_.stop();
        afterDoubleClick_ = true;
        act_(TrayLeftDoubleClick);
        break;
    case TrayRightButtonUp: act_(TrayRightButtonUp); break;
    default: break;
    }
}
