// The program's settings: one key of the per-user settings store, read once at start
// and written once at exit; only what belongs to no window of the frame (the PNG
// folder, the preview pane, the train strip, the pictures to trace) is read and written when a vehicle window uses it.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <array>
#include <optional>
#include <vector>

#include "records/pixel.h"

namespace rvk {

inline constexpr int kRecentCount = 7;
inline constexpr int kWindowPosSize = 17;
// Seconds between crash-recovery snapshots; 0 takes none.
inline constexpr int kDefaultAutosaveSeconds = 60;
inline constexpr int kDefaultUndoSteps = 100;

// The main window's normal (restored) rectangle and whether it was maximised.
struct WindowPlacement {
    QRect normal;
    bool maximised = false;
    bool operator==(const WindowPlacement&) const = default;
};

// left, top, right, bottom (signed 32-bit little-endian; right and bottom exclusive)
// and one byte 1 / 0 for maximised.
QByteArray EncodeWindowPos(const WindowPlacement& placement);
// Nothing unless the block has exactly the 17 bytes written by EncodeWindowPos.
std::optional<WindowPlacement> DecodeWindowPos(const QByteArray& block);

// The recent mouse colours, the latest first: each pixel value as 8 hex digits (type
// byte first), separated by commas.
QString EncodeColorList(const std::vector<PixelValue>& colors);
// What is not 8 hex digits is left out.
std::vector<PixelValue> DecodeColorList(const QString& text);

struct ShellSettings {
    std::array<QString, kRecentCount> recent;       // "H0" .. "H6"
    QString documentFolder;                         // "P1"
    QString importFolder;                           // "P2"
    QString langFile;                               // "LangFile"
    std::optional<bool> singleSel;                  // "SingleSel", when stored
    std::optional<WindowPlacement> windowPos;       // "WindowPos", when stored and well-formed
    int autosaveSeconds = kDefaultAutosaveSeconds;  // "AutosaveSeconds"; the default when
                                                    // missing or not a count
    std::optional<bool> cellGrid;                   // "CellGrid", when stored
    std::optional<bool> joinStrokes;                // "JoinStrokes", when stored
    int undoSteps = kDefaultUndoSteps;              // "UndoSteps"; the default when missing
                                                    // or not a positive count
    std::optional<std::vector<PixelValue>> recentColors;  // "RecentColors", when stored
};

// The application part of the settings key, "RVK 3.0" (organisation "DUR"). The
// processes of a test run share the Windows registry: each takes a name of its own.
QString SettingsApplication();
void SetSettingsApplication(const QString& name);

class SettingsStore {
public:
    SettingsStore();

    // The key holds at least one value; false on the program's first run.
    bool exists() const;
    // The first-run values: no recent files, both folders the program folder, the
    // default language file.
    void writeDefaults(const QString& programFolder);
    // Missing strings read as empty; missing optional values stay unset.
    ShellSettings read() const;
    // Writes every value in the fixed order; the optional ones only when set.
    void write(const ShellSettings& values);

    // Whether what write() stores will be kept: the store can be written (its folder
    // made, its file opened for writing) and nothing failed to be written so far.
    bool writable() const;
    // Where the values are kept: a file, or the registry key on Windows.
    QString location() const { return settings_.fileName(); }

    // "PngFolder": where the last picture was exported or imported; empty when none.
    QString pngFolder() const;
    void setPngFolder(const QString& folder);
    // "Preview": whether new vehicle windows show the preview pane; "PreviewSplit": how
    // the window is divided between its views and the pane.
    bool previewShown() const;
    void setPreviewShown(bool shown);
    QByteArray previewSplit() const;
    void setPreviewSplit(const QByteArray& state);
    // "TracePictures": the picture to trace of each vehicle place (key), with where and
    // how it is shown; an empty map forgets the place's picture.
    QVariantMap tracePicture(const QString& key) const;
    void setTracePicture(const QString& key, const QVariantMap& picture);
    // "TrainStrip": whether new fleet windows show their vehicles as a train.
    bool trainShown() const;
    void setTrainShown(bool shown);

    // Values with a type of their own: on Windows a 32-bit integer (REG_DWORD) and a byte
    // block (REG_BINARY) in the registry. Nothing when missing or stored as another type.
    std::optional<qint32> integer(const QString& name) const;
    void setInteger(const QString& name, qint32 value);
    std::optional<QByteArray> block(const QString& name) const;
    void setBlock(const QString& name, const QByteArray& bytes);

private:
    std::optional<bool> flag(const QString& name) const;

    QSettings settings_;
    bool failed_ = false;  // a value the registry did not take
};

// Reads the settings, creating them with the first-run values when they do not exist.
ShellSettings LoadShellSettings(const QString& programFolder);

}  // namespace rvk
