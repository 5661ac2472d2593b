// The settings file's groups as the program loads and saves them, and the address check.
#include "settings/settings_store.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "scoped_work_dir.hpp"
#include "settings/ini_file.hpp"

namespace orvane {
namespace {

using test::ReadFileText;
using test::WriteFileText;

class FakeChecks : public CheckStates {
  public:
    int GetCheckState(int id) const override {
        const auto it = states.find(id);
        return it == states.end() ? 0 : it->second;
    }
    void SetCheckState(int id, int state) override { states[id] = state; }

    std::map<int, int> states;
};

TEST(SettingsStore, FirstStartUsesDefaultsAndWritesNothing) {
    test::ScopedWorkDir dir;
    FakeChecks checks;
    checks.states[kIdByteView] = 1;
    checks.states[kIdTimeSense] = 1;
    LoadSettings(checks);
    EXPECT_EQ(checks.states,
              (std::map<int, int>{
                  {110, 1}, {115, 0}, {125, 0}, {130, 0}, {135, 0}, {140, 0}, {145, 0}, {190, 0}}));
    ConnectionSettings connection;
    LoadSetup(connection);
    EXPECT_EQ(connection.captureUnitAddress, "127.0.0.1");
    EXPECT_EQ(connection.captureUnitPort, 23);
    EXPECT_EQ(connection.protocolMode, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(SettingsStore, LoadsExactlyOneViewButton) {
    const struct {
        const char* lines;
        int packetView;
        int byteView;
    } kCases[] = {
        {"Packet View= 1\r\nByte View= 1\r\n", 1, 0},
        {"Packet View= 0\r\nByte View= 0\r\n", 1, 0},
        {"", 1, 0},
        {"Packet View= 0\r\nByte View= 1\r\n", 0, 1},
        {"packet view=1\nBYTE VIEW=0\n", 1, 0},
    };
    for (const auto& c : kCases) {
        test::ScopedWorkDir dir;
        WriteFileText("Orvane.ini", std::string("[Settings]\r\nTime Sense= 1\r\n") + c.lines);
        FakeChecks checks;
        LoadSettings(checks);
        EXPECT_EQ(checks.GetCheckState(kIdPacketView), c.packetView) << c.lines;
        EXPECT_EQ(checks.GetCheckState(kIdByteView), c.byteView) << c.lines;
        EXPECT_EQ(checks.GetCheckState(kIdTimeSense), 1);
    }
}

TEST(SettingsStore, LoadSetupKeepsDefaultsForUnusableValues) {
    const struct {
        const char* lines;
        const char* address;
        int port;
        int protocol;
    } kCases[] = {
        {"Port Number= 0\r\n", "127.0.0.1", 23, 0},
        {"Port Number=-7\r\n", "127.0.0.1", 23, 0},
        {"Port Number=abc\r\n", "127.0.0.1", 23, 0},
        {"Port Number= 70000\r\n", "127.0.0.1", 70000, 0},
        {"Ip Address=10.0.0\r\n", "127.0.0.1", 23, 0},
        {"Ip Address= 1 . 2 . 3 . 4\r\n", "1 . 2 . 3 . 4", 23, 0},
        {"Ip Address=10.0.0.5\r\nProtocol= 7\r\n", "10.0.0.5", 23, 7},
        {"Protocol= 2\r\n", "127.0.0.1", 23, 2},
    };
    for (const auto& c : kCases) {
        test::ScopedWorkDir dir;
        WriteFileText("Orvane.ini", std::string("[Setup]\r\n") + c.lines);
        ConnectionSettings connection;
        LoadSetup(connection);
        EXPECT_EQ(connection.captureUnitAddress, c.address) << c.lines;
        EXPECT_EQ(connection.captureUnitPort, c.port) << c.lines;
        EXPECT_EQ(connection.protocolMode, c.protocol) << c.lines;
    }
}

TEST(SettingsStore, FullRunWritesTheThreeSectionsInOrder) {
    test::ScopedWorkDir dir;
    SaveSetup({"10.0.0.5", 23, 2});
    FakeChecks checks;
    checks.states = {{kIdPacketView, 1}, {kIdTimeReply, 1}, {kIdDisplayAcks, 1}};
    SaveWindowSize(570, 0);
    SaveSettings(checks);
    EXPECT_EQ(ReadFileText("Orvane.ini"),
              "[Setup]\r\nIp Address=10.0.0.5\r\nPort Number= 23\r\nProtocol= 2\r\n"
              "[Form]\r\nwidth= 570\r\nheight= 0\r\n"
              "[Settings]\r\nPacket View= 1\r\nByte View= 0\r\nTime Sense= 0\r\n"
              "Time Reply= 1\r\nStatus Sense= 0\r\nStatus Reply= 0\r\nDisplay Acks= 1\r\n"
              "Dev Type Filter= 0\r\n");

    FakeChecks loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.states,
              (std::map<int, int>{
                  {110, 1}, {115, 0}, {125, 0}, {130, 1}, {135, 0}, {140, 0}, {145, 1}, {190, 0}}));
    ConnectionSettings connection;
    LoadSetup(connection);
    EXPECT_EQ(connection.captureUnitAddress, "10.0.0.5");
    EXPECT_EQ(connection.protocolMode, 2);
}

TEST(SettingsStore, SaveSetupStaysInTheExistingSectionWhateverItsCase) {
    for (const char* header : {"[SETUP]", "[setup]"}) {
        test::ScopedWorkDir dir;
        WriteFileText("Orvane.ini", std::string(header) +
                                        "\r\nIp Address=10.1.2.3\r\nPort Number= 99\r\n"
                                        "[Form]\r\nwidth= 1\r\n");
        ConnectionSettings connection;
        LoadSetup(connection);
        EXPECT_EQ(connection.captureUnitAddress, "10.1.2.3");
        EXPECT_EQ(connection.captureUnitPort, 99);
        connection.protocolMode = 1;
        SaveSetup(connection);
        EXPECT_EQ(ReadFileText("Orvane.ini"),
                  std::string(header) +
                      "\r\nIp Address=10.1.2.3\r\nPort Number= 99\r\nProtocol= 1\r\n"
                      "[Form]\r\nwidth= 1\r\n");
    }
}

TEST(SettingsStore, FollowsTheCurrentDirectory) {
    test::ScopedWorkDir dir;
    EXPECT_EQ(SettingsFilePath(), dir.Path().string() + "/Orvane.ini");
    std::filesystem::create_directory("logs");
    SaveWindowSize(100, 200);
    std::filesystem::current_path("logs");
    EXPECT_EQ(SettingsFilePath(), (dir.Path() / "logs").string() + "/Orvane.ini");
    SaveSettings(FakeChecks{});
    EXPECT_EQ(ReadFileText(dir.Path() / "Orvane.ini"), "[Form]\r\nwidth= 100\r\nheight= 200\r\n");
    EXPECT_EQ(ReadSetting(SettingsFilePath(), "Settings", "Packet View", ""), "0");
}

TEST(SettingsStore, LongWorkingDirectoryUsesTheCutPath) {
    test::ScopedWorkDir dir;
    const std::string part(100, 'd');
    std::filesystem::create_directories(dir.Path() / part / part / part);
    std::filesystem::current_path(dir.Path() / part / part / part);
    const std::string full = std::filesystem::current_path().string() + "/Orvane.ini";
    EXPECT_EQ(SettingsFilePath(), full.substr(0, 254));

    FakeChecks checks;
    checks.states = {{kIdByteView, 1}, {kIdStatusSense, 1}};
    SaveSettings(checks);
    FakeChecks loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.GetCheckState(kIdByteView), 1);
    EXPECT_EQ(loaded.GetCheckState(kIdPacketView), 0);
    EXPECT_EQ(loaded.GetCheckState(kIdStatusSense), 1);
}

TEST(SettingsStore, PortTextOfTheSetupDialog) {
    EXPECT_EQ(ParsePortText("080"), 80);
    EXPECT_EQ(ParsePortText("70000"), 70000);
    EXPECT_EQ(ParsePortText(""), 0);
}

TEST(IsValidAddress, NeedsFourNonBlankFields) {
    const struct {
        const char* text;
        bool valid;
    } kCases[] = {
        {"10.0.0.5", true},  {" 1 . 2 . 3 . 4", true}, {"a.b.c.d", true},
        {"999.1.1.1", true}, {"10.0.0", false},        {"10..0.5", false},
        {"1.2.3.4.", false}, {".1.2.3", false},        {"1.2.3.  ", false},
        {"", false},         {"1.2.3.4.5", false},     {"...", false},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(IsValidAddress(c.text), c.valid) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace orvane
