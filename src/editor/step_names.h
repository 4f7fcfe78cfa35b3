// The text numbers that name undo steps, as the Edit menu shows them after "Undo" and
// "Redo". The sizes and property bits are named by their own labels.
#pragma once

namespace rvk::step {

inline constexpr int kUndoItem = 900;  // "Undo %s"
inline constexpr int kRedoItem = 901;  // "Redo %s"
inline constexpr int kPen = 902;
inline constexpr int kLine = 903;
inline constexpr int kRect = 904;
inline constexpr int kFill = 905;
inline constexpr int kReplace = 906;
inline constexpr int kPaste = 907;
inline constexpr int kImport = 908;
inline constexpr int kMirror = 909;
inline constexpr int kRotate = 910;
inline constexpr int kMovePixels = 911;
inline constexpr int kShift = 912;
inline constexpr int kAddSteam = 913;
inline constexpr int kMoveSteam = 914;
inline constexpr int kSteamLength = 915;
inline constexpr int kDeleteSteam = 916;
inline constexpr int kInfo = 917;
inline constexpr int kZoom2Off = 918;
inline constexpr int kZoom2Read = 919;
inline constexpr int kZoom2Derive = 920;
inline constexpr int kFirstSize = 210;  // Length, side height, width, front height
inline constexpr int kSingleEnded = 215;
inline constexpr int kMotorized = 216;
inline constexpr int kRev = 217;
inline constexpr int kLwx = 218;
inline constexpr int kExtraViews = 219;

}  // namespace rvk::step
