#include "app/AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "frmAbout.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AboutTest : public ::testing::Test {
protected:
    AboutTest()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
        platform.addresses = {};
        platform.version = {6, 8};
    }
    ~AboutTest() override { about.close(); }

    void giveDevice()
    {
        appState().deviceList = {"127.0.0.2", std::string()};
        appState().deviceCount = 1;
        appState().firmwareVersion = "01.03";
        appState().macAddress = "00-50-C2-8F-10-01";
    }

    void writeLog(const QByteArray &bytes)
    {
        QFile log(QString::fromStdString(folder.path() + "log.txt"));
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.write(bytes);
    }

    TestAppFolder folder;
    FakePlatform platform;
    frmAbout &about = frmAbout::instance();
};

TEST_F(AboutTest, WithoutADeviceShowsEmptyValuesAndTheDesignText)
{
    showAbout();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Nerrin Pallix™ Control Center"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Nerrin Pallix™ Control Center"));
    EXPECT_EQ(about.lblFirmwareVersion->text(), QStringLiteral("Firmware Version: "));
    EXPECT_EQ(about.lblMACAddress->text(), QStringLiteral("MAC Address: "));
    EXPECT_EQ(about.lblIPAddress->text(), QStringLiteral("IP Address"));
    EXPECT_EQ(about.lblPCIP->text(), QStringLiteral("PC IP Address: "));
    EXPECT_EQ(about.lblOSInfo->text(), QStringLiteral("6"));
    EXPECT_EQ(about.cmdOK->text(), QStringLiteral("OK"));
    EXPECT_EQ(about.cmdLogFile->text(), QStringLiteral("Log File"));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(AboutTest, WithADeviceShowsItsValuesAndEveryPCAddress)
{
    giveDevice();
    platform.addresses = {"10.0.0.5", "192.168.1.20"};
    showAbout();
    EXPECT_EQ(about.lblFirmwareVersion->text(), QStringLiteral("Firmware Version: 01.03"));
    EXPECT_EQ(about.lblMACAddress->text(), QStringLiteral("MAC Address: 00-50-C2-8F-10-01"));
    EXPECT_EQ(about.lblIPAddress->text(), QStringLiteral("IP Address: 127.0.0.2"));
    EXPECT_EQ(about.lblPCIP->text(), QStringLiteral("PC IP Address: 10.0.0.5, 192.168.1.20"));
}

TEST_F(AboutTest, SoftwareVersionIsTheBuildsVersion)
{
    showAbout();
    const QString expected = QStringLiteral("Software Version %1.%2.%3")
                                 .arg(PALLIX_VERSION_MAJOR)
                                 .arg(PALLIX_VERSION_MINOR)
                                 .arg(PALLIX_VERSION_REVISION);
    EXPECT_EQ(about.lblVersion->text(), expected);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Software Version \\d+\\.\\d+\\.\\d+$"))
                    .match(about.lblVersion->text())
                    .hasMatch());
}

TEST_F(AboutTest, DeviceTextsAreNeverReadAsMarkup)
{
    giveDevice();
    appState().macAddress = "<b>00</b>";
    appState().firmwareVersion = "<img src=x>";
    showAbout();
    for (QLabel *label : about.findChildren<QLabel *>()) {
        if (label == about.picIcon) continue;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
    }
    EXPECT_EQ(about.lblMACAddress->text(), QStringLiteral("MAC Address: <b>00</b>"));
}

TEST_F(AboutTest, IsAModelessDarkWindowReadOnOpening)
{
    showAbout();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    EXPECT_EQ(about.palette().color(QPalette::Window), QColor(64, 64, 64));
    EXPECT_EQ(about.palette().color(QPalette::WindowText), QColor(Qt::white));

    // An open window keeps what it showed; closing and opening again reads afresh.
    giveDevice();
    showAbout();
    EXPECT_EQ(about.lblIPAddress->text(), QStringLiteral("IP Address"));
    about.cmdOK->click();
    EXPECT_FALSE(about.isVisible());
    showAbout();
    EXPECT_EQ(about.lblIPAddress->text(), QStringLiteral("IP Address: 127.0.0.2"));

    about.cmdOK->click();
    appState().deviceCount = 0;
    showAbout();
    EXPECT_EQ(about.lblIPAddress->text(), QStringLiteral("IP Address"));
}

TEST_F(AboutTest, EnterAndEscapeCloseIt)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        showAbout();
        ASSERT_TRUE(about.isVisible());
        QTest::keyClick(&about, key);
        EXPECT_FALSE(about.isVisible()) << key;
    }
    EXPECT_TRUE(platform.boxes.empty());   // Enter is OK, not Log File
}

TEST_F(AboutTest, LogFileWithoutALogReportsItAndLogsOneLine)
{
    appState().lastGlobalStatus = 7;
    showAbout();
    about.cmdLogFile->click();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Log File is empty. (1)");
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(platform.opened.empty());
    EXPECT_EQ(folder.logLines(), std::vector<std::string>{"Log File is empty. (1)(Status:7)"});
    EXPECT_TRUE(folder.logText().ends_with("\r\n"));
}

TEST_F(AboutTest, LogFileOpensAnExistingLog)
{
    writeLog("Discovery Count < 1  --- 12/8/26 1:00:00 AM\r\n");
    showAbout();
    about.cmdLogFile->click();
    EXPECT_EQ(platform.opened, std::vector<std::string>{folder.path() + "log.txt"});
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(AboutTest, LogFileThatCannotBeOpenedIsReported)
{
    writeLog("");
    platform.openResult = 31;
    showAbout();
    about.cmdLogFile->click();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "No association for file extension (31)");
    EXPECT_EQ(folder.logLines().back(), "No association for file extension (31)(Status:0)");
}

}   // namespace
