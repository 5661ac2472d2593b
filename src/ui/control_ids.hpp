// Fixed ids of the main window's controls; a control's object name is "id" and its id.
#pragma once

namespace orvane {

inline constexpr int kIdCaptureButton = 100;
inline constexpr int kIdSetupButton = 105;
inline constexpr int kIdPacketView = 110;
inline constexpr int kIdByteView = 115;
inline constexpr int kIdSaveLogButton = 120;
inline constexpr int kIdTimeSense = 125;
inline constexpr int kIdTimeReply = 130;
inline constexpr int kIdStatusSense = 135;
inline constexpr int kIdStatusReply = 140;
inline constexpr int kIdDisplayAcks = 145;
inline constexpr int kIdPacketList = 150;
inline constexpr int kIdByteList = 155;
inline constexpr int kIdClearButton = 170;
inline constexpr int kIdBackground = 185;
inline constexpr int kIdDevTypeFilter = 190;
inline constexpr int kIdStatusBar = 1000;

}  // namespace orvane
