#include "CommandCheck.h"

#include "QtText.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace {

bool runnable(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

}   // namespace

QString commandProblem(const QString &option, const CommandLine &command)
{
    const QString program = qText(command.program);
    if (program.contains(QLatin1Char('/'))) {
        if (runnable(program)) return {};
        const QString why = !QFileInfo::exists(program) ? QStringLiteral("does not exist")
                            : !QFileInfo(program).isFile()
                                ? QStringLiteral("is not a file")
                                : QStringLiteral("is not executable");
        return QStringLiteral("%1: the program %2 %3").arg(option, program, why);
    }
    if (!QStandardPaths::findExecutable(program).isEmpty()) return {};
    return QStringLiteral("%1: no program \"%2\" on the search path (PATH=%3)")
        .arg(option, program, qEnvironmentVariable("PATH"));
}
