// The core's UTF-8 text at the edge of Qt code.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

inline QString qText(const std::string &utf8) { return QString::fromStdString(utf8); }
inline std::string stdText(const QString &text) { return text.toStdString(); }

inline QStringList qTexts(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const std::string &text : texts)
        list << qText(text);
    return list;
}

inline std::vector<std::string> stdTexts(const QStringList &texts)
{
    std::vector<std::string> list;
    for (const QString &text : texts)
        list.push_back(stdText(text));
    return list;
}
