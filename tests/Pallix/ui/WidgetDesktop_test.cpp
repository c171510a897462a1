// The desktop as the Control Center's windows show it.
#include "AppTestSupport.h"
#include "app/NrErrors.h"
#include "app/ShellExecute.h"
#include "WidgetDesktop.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellOpen, TheRealDesktopReportsAMissingFileAsCode2)
{
    TestAppFolder folder;
    WidgetDesktop desktop;
    Desktop::install(&desktop);
    try {
        shellOpen(folder.path() + "missing.pdf");
        ADD_FAILURE() << "no error raised";
    } catch (const NrError &error) {
        EXPECT_EQ(error.number(), 2);
        EXPECT_EQ(error.description(), "File not found");
    }
    Desktop::install(nullptr);
}

}   // namespace
