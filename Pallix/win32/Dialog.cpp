#include "Dialog.h"

#include "DarkLook.h"
#include "WideText.h"
#include "app/AppPaths.h"

namespace {

COLORREF lampColour(LampState state)
{
    switch (state) {
    case LampState::Triggered: return RGB(0, 255, 0);
    case LampState::Armed: return RGB(255, 128, 0);
    case LampState::Disabled: return RGB(128, 128, 128);
    case LampState::Unknown: break;
    }
    return RGB(255, 255, 255);
}

}   // namespace

Dialog::Dialog(int templateId)
{
    window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), nullptr,
                                 &Dialog::procedure, reinterpret_cast<LPARAM>(this));
}

Dialog::~Dialog()
{
    // Nothing of the window may call back into an object that is going.
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
}

INT_PTR CALLBACK Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<Dialog *>(lParam)->window_ = window;
    }
    auto *self = reinterpret_cast<Dialog *>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return darkControl(reinterpret_cast<HDC>(wParam));
    case WM_DRAWITEM: return drawLamp(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_CLOSE: closed(); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
            closed();
            return TRUE;
        }
        command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

void Dialog::show()
{
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void Dialog::setCaption(const std::string &text) { SetWindowTextW(window_, wideText(text).c_str()); }

void Dialog::setText(int id, const std::string &text)
{
    SetDlgItemTextW(window_, id, wideText(text).c_str());
}

std::string Dialog::text(int id) const
{
    const HWND control = item(id);
    std::wstring wide(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    wide.resize(size_t(GetWindowTextW(control, wide.data(), int(wide.size()))));
    return utf8Text(wide);
}

void Dialog::setChecked(int id, bool checked)
{
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Dialog::checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void Dialog::enable(int id, bool enabled) { EnableWindow(item(id), enabled); }

void Dialog::showItem(int id, bool shown) { ShowWindow(item(id), shown ? SW_SHOW : SW_HIDE); }

void Dialog::fillList(int id, const std::vector<std::string> &entries)
{
    const HWND list = item(id);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string &entry : entries)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(entry).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

void Dialog::selectEntry(int id, int index) { SendDlgItemMessageW(window_, id, CB_SETCURSEL, WPARAM(index), 0); }

int Dialog::selectedEntry(int id) const
{
    return int(SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0));
}

void Dialog::setLamp(int id, LampState state)
{
    lamps_[id] = state;
    InvalidateRect(item(id), nullptr, TRUE);
}

// A filled square with a black rim.
bool Dialog::drawLamp(const DRAWITEMSTRUCT &drawn) const
{
    const auto found = lamps_.find(int(drawn.CtlID));
    const LampState state = found == lamps_.end() ? LampState::Unknown : found->second;
    const HBRUSH fill = CreateSolidBrush(lampColour(state));
    FillRect(drawn.hDC, &drawn.rcItem, fill);
    DeleteObject(fill);
    FrameRect(drawn.hDC, &drawn.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
}

HICON loadIconFile(bool red, int size)
{
    const std::string file = appFile(red ? AppFile::RedIcon : AppFile::GrayIcon);
    return static_cast<HICON>(
        LoadImageW(nullptr, wideText(file).c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
}
