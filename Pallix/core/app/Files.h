// File names are UTF-8 text in the core; the file system gets them in its
// own form (wide on Windows).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

std::filesystem::path fsPath(const std::string &utf8);
std::string utf8Of(const std::filesystem::path &path);

bool fileExists(const std::string &path);
// Whether a file can be created in the folder.
bool folderWritable(const std::string &folder);
// The environment variable's value; none when it is not set.
std::optional<std::string> environment(const char *name);

// Replaces the file's content as one step: written beside it, then renamed
// over it, so a reader (or a crash) finds the old content or the new, never
// a torn file. False (and why) when it cannot.
bool replaceFile(const std::string &path, const std::string &content, std::string *error);
// The whole file; none when it cannot be read.
std::optional<std::string> readFile(const std::string &path);
