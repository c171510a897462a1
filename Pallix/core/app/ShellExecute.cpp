#include "app/ShellExecute.h"

#include "app/AppPaths.h"
#include "app/Desktop.h"
#include "app/NrErrors.h"

namespace {

// Shell results above this value mean the document was opened.
constexpr int LastShellError = 32;

struct ShellError {
    int code;
    const char *description;
};

constexpr ShellError shellErrors[] = {
    {2, "File not found"},
    {3, "Path not found"},
    {5, "Access denied"},
    {8, "Out of memory"},
    {11, "Invalid EXE file or error in EXE image"},
    {26, "A sharing violation occurred"},
    {27, "Incomplete or invalid file association"},
    {28, "DDE Time out"},
    {29, "DDE transaction failed"},
    {30, "DDE IO.BUSy"},
    {31, "No association for file extension"},
    {32, "DLL not found"},
};

// A menu command's one error handler.
void openReportingErrors(const std::string &pathOrUrl)
{
    reportingErrors([&] { shellOpen(pathOrUrl); });
}

}   // namespace

std::string shellErrorDescription(int code)
{
    for (const ShellError &error : shellErrors)
        if (error.code == code) return error.description;
    return "Unknown error";
}

void shellOpen(const std::string &pathOrUrl)
{
    const int result = Desktop::current().openDocument(pathOrUrl);
    if (result <= LastShellError) throw NrError(result, shellErrorDescription(result));
}

void openUserGuide()
{
    openReportingErrors(appFile(AppFile::UserGuide));
}

void openSupportPage() { openReportingErrors(supportPageUrl()); }

std::string supportPageUrl() { return PALLIX_SUPPORT_URL; }
