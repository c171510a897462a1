// The core's texts are UTF-8; Windows takes and gives UTF-16.
#pragma once

#include <string>

std::wstring wideText(const std::string &utf8);
std::string utf8Text(const std::wstring &wide);
