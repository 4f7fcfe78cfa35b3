// Finding installations of the host simulation. On Windows the host notes its folders
// under the current user's key Software\DADuroVo_ZeZERa (read by the window layer); on
// Linux the same key lives in the user's Wine registry, read here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

inline constexpr std::string_view kHostRegistryKey = "Software\\DADuroVo_ZeZERa";
// Values of the key whose names contain this (case-sensitive) name installation folders.
inline constexpr std::string_view kHostPathValueMark = "_PFAD";

// Installation folders as paths ending in the native separator, in the order found.
// The import dialog asks its source once; tests give their own.
using InstallationSource = std::function<std::vector<std::string>()>;

// The folder (a path ending in the separator) exists and holds vuvi.fzg and vuvi.ini
// as files.
bool IsInstallation(const std::string& path);

// The string values of the host's key in the text of a Wine user.reg whose names
// contain "_PFAD", in file order, unescaped (UTF-8). Other value types are skipped.
std::vector<std::string> WineHostPaths(std::string_view userReg);

// A Windows drive path ("C:\Games\Host\") as the folder it names in the Wine prefix:
// through <prefix>/dosdevices/c:, each part matched ignoring case against the real
// folders; the result ends in '/'. Nothing for a path that is not on a drive or a
// folder that does not exist.
std::optional<std::string> MapWinePath(const std::string& prefix, std::string_view windowsPath);

// $WINEPREFIX when set, else ~/.wine; `env` looks up an environment variable.
std::string WinePrefix(const std::function<std::optional<std::string>(const char*)>& env);

// The installations the Wine registry of the prefix names: its user.reg read, every
// path mapped, those that are installations kept.
std::vector<std::string> WineInstallations(const std::string& prefix);

}  // namespace rvk
