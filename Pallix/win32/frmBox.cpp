#include "frmBox.h"

#include "WideText.h"
#include "resource.h"

#include <algorithm>

namespace {

constexpr int Margin = 14;
constexpr int TextWidthLimit = 420;
constexpr int ButtonGap = 8;

RECT itemRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

LPCWSTR systemIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return IDI_INFORMATION;
    case MsgIcon::Critical: return IDI_ERROR;
    case MsgIcon::None: break;
    }
    return nullptr;
}

}   // namespace

frmBox::frmBox(const std::string &text, const std::string &title, MsgIcon icon,
               MsgButtons buttons, BoxAnswered answered, std::function<void(frmBox *)> closed)
    : Dialog(IDD_BOX), buttons_(buttons), answered_(std::move(answered)), closed_(std::move(closed))
{
    setCaption(title);
    setText(IDC_BOXTEXT, text);
    const LPCWSTR iconName = systemIcon(icon);
    if (iconName)
        SendDlgItemMessageW(window(), IDC_BOXICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconW(nullptr, iconName)), 0);
    showItem(IDC_BOXICON, iconName != nullptr);
    showItem(IDCANCEL, buttons == MsgButtons::OKCancel);
    showItem(IDC_BOXRESTORE, buttons == MsgButtons::OKRestore);
    fitToText(text, iconName != nullptr, buttons != MsgButtons::OK);
    show();
}

// The text decides the box's size; the buttons sit below it, on the right,
// OK first (Cancel and Restore share the second place).
void frmBox::fitToText(const std::string &text, bool withIcon, bool withSecond)
{
    const HWND dialog = window();
    const HWND label = item(IDC_BOXTEXT);
    const RECT iconRect = itemRect(dialog, IDC_BOXICON);
    const RECT okRect = itemRect(dialog, IDOK);
    const int buttonWidth = okRect.right - okRect.left;
    const int buttonHeight = okRect.bottom - okRect.top;

    const HDC context = GetDC(label);
    const HGDIOBJ oldFont = SelectObject(context, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring wide = wideText(text);
    RECT textRect{0, 0, TextWidthLimit, 0};
    DrawTextW(context, wide.c_str(), int(wide.size()), &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(context, oldFont);
    ReleaseDC(label, context);

    const int textLeft = withIcon ? iconRect.right + Margin : Margin;
    const int textHeight = std::max<int>(textRect.bottom, withIcon ? iconRect.bottom - Margin : 0);
    MoveWindow(label, textLeft, Margin, textRect.right, textHeight, FALSE);

    const int buttonsWidth = withSecond ? 2 * buttonWidth + ButtonGap : buttonWidth;
    const int clientWidth = std::max<int>(textLeft + textRect.right, buttonsWidth) + Margin;
    const int buttonTop = Margin + textHeight + Margin;
    const int clientHeight = buttonTop + buttonHeight + Margin;
    const int okLeft = clientWidth - Margin - buttonsWidth;
    MoveWindow(item(IDOK), okLeft, buttonTop, buttonWidth, buttonHeight, FALSE);
    for (const int second : {IDCANCEL, IDC_BOXRESTORE})
        MoveWindow(item(second), okLeft + buttonWidth + ButtonGap, buttonTop, buttonWidth, buttonHeight,
                   FALSE);

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER);
}

void frmBox::command(int id, int notification)
{
    if (notification != BN_CLICKED) return;
    if (id == IDOK) answer(MsgOK);
    if (id == IDC_BOXRESTORE) answer(MsgRestore);
}

// Escape and the close box: Cancel where there is one; otherwise OK, the
// only answer that does nothing more.
void frmBox::closed() { answer(buttons_ == MsgButtons::OKCancel ? MsgCancel : MsgOK); }

// The owner deletes the box later, from the loop: not while its window handles a message.
void frmBox::answer(int result)
{
    if (std::exchange(answeredOnce_, true)) return;
    hide();
    if (answered_) answered_(result);
    if (closed_) closed_(this);
}
