// GET and LIST: what any client may read of the UPS, logged in or not.
#pragma once

#include "NutUps.h"

#include <string>
#include <vector>

// args: the words after GET or LIST.
std::vector<std::string> answerGet(const std::vector<std::string> &args, const NutView &view);
std::vector<std::string> answerList(const std::vector<std::string> &args, const NutView &view);
