#include "DarkLook.h"

HBRUSH darkBrush()
{
    static const HBRUSH brush = CreateSolidBrush(DarkBackground);   // lives as long as the program
    return brush;
}

INT_PTR darkControl(HDC context)
{
    SetTextColor(context, LightText);
    SetBkColor(context, DarkBackground);
    return reinterpret_cast<INT_PTR>(darkBrush());
}
