// The settings file's groups as the program loads and saves them, and the address check.
#include "settings/settings_store.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../capture/capture_test_support.hpp"
#include "scratch_folder.hpp"
#include "settings/ini_file.hpp"

namespace orvane {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

// The eight buttons as 1 and 0, in the order of the file: Packet View, Byte View, the boxes.
std::string ButtonsText(const ViewOptions& options) {
    const FilterFlags& f = options.filters;
    std::string text;
    for (const bool set :
         {options.view == ViewKind::Packet, options.view == ViewKind::Byte, f.timeSense,
          f.timeReply, f.statusSense, f.statusReply, f.displayAcks, f.dispDevType}) {
        text += set ? '1' : '0';
    }
    return text;
}

// What LoadViewOptions and LoadSetup make of Orvane.ini: the eight buttons, then the address,
// port and protocol mode.
std::string Loaded() {
    ConnectionSettings connection;
    LoadSetup(connection);
    return ButtonsText(LoadViewOptions()) + " " + connection.captureUnitAddress + " " +
           std::to_string(connection.captureUnitPort) + " " +
           std::to_string(ProtocolNumber(connection.protocolMode));
}

TEST(SettingsStore, LoadsTheButtonsAndTheConnection) {
    for (const auto& row : testing::ReadTable("settings/load.tsv")) {  // lines, what is loaded
        test::ScratchFolder dir(true);
        std::string file;
        for (const std::string& line : testing::Split(row[0], '|')) file += line + "\r\n";
        if (row[0] != "-") WriteFileBytes("Orvane.ini", file);
        EXPECT_EQ(Loaded(), row[1]) << row[0];
        EXPECT_EQ(std::filesystem::is_empty(dir.path()), row[0] == "-");  // loading writes nothing
    }
}

TEST(SettingsStore, FullRunWritesTheThreeSectionsInOrderAndReadsThemBack) {
    test::ScratchFolder dir(true);
    SaveSetup({"127.0.0.5", 23, ProtocolMode::kVdcp});
    SaveWindowSize(570, 0);
    FilterFlags filters;
    filters.timeReply = true;
    filters.displayAcks = true;
    SaveViewOptions({ViewKind::Packet, filters});
    EXPECT_EQ(ReadFileBytes("Orvane.ini"),
              "[Setup]\r\nIp Address=127.0.0.5\r\nPort Number= 23\r\nProtocol= 2\r\n"
              "[Form]\r\nwidth= 570\r\nheight= 0\r\n"
              "[Settings]\r\nPacket View= 1\r\nByte View= 0\r\nTime Sense= 0\r\n"
              "Time Reply= 1\r\nStatus Sense= 0\r\nStatus Reply= 0\r\nDisplay Acks= 1\r\n"
              "Dev Type Filter= 0\r\n");
    EXPECT_EQ(Loaded(), "10010010 127.0.0.5 23 2");
}

TEST(SettingsStore, HandEditedButtonsAreWrittenBackAsOneOrZero) {
    test::ScratchFolder dir(true);
    WriteFileBytes("Orvane.ini",
                   "[Settings]\r\nPacket View= 0\r\nByte View= 5\r\nTime Sense=-3\r\n"
                   "[Setup]\r\nProtocol= 7\r\n");
    SaveViewOptions(LoadViewOptions());  // the window at start-up and at close
    EXPECT_EQ(ReadFileBytes("Orvane.ini"),
              "[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 1\r\n"
              "Time Reply= 0\r\nStatus Sense= 0\r\nStatus Reply= 0\r\nDisplay Acks= 0\r\n"
              "Dev Type Filter= 0\r\n[Setup]\r\nProtocol= 7\r\n");
}

TEST(SettingsStore, SaveSetupStaysInTheExistingSectionWhateverItsCase) {
    for (const std::string header : {"[SETUP]", "[setup]"}) {
        test::ScratchFolder dir(true);
        const std::string address = "\r\nIp Address=127.1.2.3\r\nPort Number= 99\r\n";
        WriteFileBytes("Orvane.ini", header + address + "[Form]\r\nwidth= 1\r\n");
        ConnectionSettings connection;
        LoadSetup(connection);
        EXPECT_EQ(connection.captureUnitAddress, "127.1.2.3");
        EXPECT_EQ(connection.captureUnitPort, 99);
        connection.protocolMode = ProtocolMode::kOdetics;
        SaveSetup(connection);
        EXPECT_EQ(ReadFileBytes("Orvane.ini"),
                  header + address + "Protocol= 1\r\n[Form]\r\nwidth= 1\r\n");
    }
}

TEST(SettingsStore, FollowsTheCurrentDirectoryHoweverLongItsPath) {
    test::ScratchFolder dir(true);
    EXPECT_EQ(SettingsFilePath(), dir.path().string() + "/Orvane.ini");
    SaveWindowSize(100, 200);
    const std::string part(100, 'd');
    std::filesystem::create_directories(dir.path() / part / part / part);
    std::filesystem::current_path(dir.path() / part / part / part);
    const std::string full = std::filesystem::current_path().string() + "/Orvane.ini";
    ASSERT_GT(full.size(), 254u);
    EXPECT_EQ(SettingsFilePath(), full);
    FilterFlags filters;
    filters.statusSense = true;
    SaveViewOptions({ViewKind::Byte, filters});
    EXPECT_EQ(ReadFileBytes(dir.path() / "Orvane.ini"), "[Form]\r\nwidth= 100\r\nheight= 200\r\n");
    EXPECT_EQ(ReadFileBytes(full),
              "[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 0\r\n"
              "Time Reply= 0\r\nStatus Sense= 1\r\nStatus Reply= 0\r\n"
              "Display Acks= 0\r\nDev Type Filter= 0\r\n");
    EXPECT_EQ(Loaded(), "01001000 127.0.0.1 23 0");
}

TEST(SettingsStore, PortTextOfTheSetupDialog) {
    EXPECT_EQ(ParsePortText("080"), 80);
    EXPECT_EQ(ParsePortText("70000"), 70000);
    EXPECT_EQ(ParsePortText(""), 0);
}

TEST(IsValidAddress, NeedsFourNonBlankFields) {
    for (const auto& row : testing::ReadTable("settings/valid_address.tsv")) {  // address, valid
        EXPECT_EQ(IsValidAddress(row[0]), row[1] == "valid") << '"' << row[0] << '"';
    }
}

}  // namespace
}  // namespace orvane
