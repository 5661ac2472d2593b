// Fixed ids of the main window's controls, shared by the settings file, the views and the window.
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

// Reads and sets the check state (0 or 1) of the main window's option buttons and check boxes.
// Setting a state never runs the control's click handler.
class CheckStates {
  public:
    virtual ~CheckStates() = default;
    virtual int GetCheckState(int id) const = 0;
    virtual void SetCheckState(int id, int state) = 0;
};

}  // namespace orvane
