// A modeless dialog made from a template in the program's resources, with
// the dark look, status lamps drawn in their colours, and the control
// helpers every window uses. Texts are UTF-8 here and UTF-16 to Windows.
#pragma once

#include "device/IndicatorColour.h"

#include <map>
#include <string>
#include <vector>

#include <windows.h>

class Dialog {
public:
    explicit Dialog(int templateId);
    virtual ~Dialog();
    Dialog(const Dialog &) = delete;
    Dialog &operator=(const Dialog &) = delete;

    HWND window() const { return window_; }
    bool visible() const { return IsWindowVisible(window_); }
    void show();   // shown, brought to the front and activated
    void hide() { ShowWindow(window_, SW_HIDE); }

protected:
    // The dialog's own messages; what it does not handle goes on to the defaults.
    virtual INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void command(int /*id*/, int /*notification*/) {}
    virtual void closed() { hide(); }   // the close box, Escape, Cancel

    HWND item(int id) const { return GetDlgItem(window_, id); }
    void setCaption(const std::string &text);
    void setText(int id, const std::string &text);
    std::string text(int id) const;
    void setChecked(int id, bool checked);
    bool checked(int id) const;
    void enable(int id, bool enabled);
    void showItem(int id, bool shown);
    // Lists and drop-down lists.
    void fillList(int id, const std::vector<std::string> &entries);
    void selectEntry(int id, int index);   // -1: none
    int selectedEntry(int id) const;       // -1: none
    // A static control drawn as a lamp (SS_OWNERDRAW) in its state's colour.
    void setLamp(int id, LampState state);

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool drawLamp(const DRAWITEMSTRUCT &item) const;

    HWND window_ = nullptr;
    std::map<int, LampState> lamps_;
};

// The program's own icon files, red or gray, loaded at the given size.
HICON loadIconFile(bool red, int size);
