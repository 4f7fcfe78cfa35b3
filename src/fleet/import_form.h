// The import dialog: picks a host installation, a category, a set and one of its
// vehicles, previews it and inserts copies into the active fleet window. Created once
// at start-up beside the main window, it takes its texts then and keeps its whole
// state (installations, sets, selections) from one showing to the next.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "host/host_catalogue.h"
#include "host/host_install.h"
#include "host/host_text.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace rvk {

class Frame;

class TImportForm : public QDialog {
    Q_OBJECT

public:
    // Runs the dialog modally; tests replace it so that nothing blocks.
    using ModalRunner = std::function<void(QDialog&)>;

    static constexpr QSize kClientSize{617, 637};

    // The texts are looked up once, here. `installations` is asked at the first
    // showing; by default the host's registry key (through Wine on Linux).
    TImportForm(Frame& frame, QWidget* parent, InstallationSource installations = {});
    ~TImportForm() override;

    // Shown modally from the fleet window; the first showing looks for installations.
    void ShowModal();
    void setModalRunner(ModalRunner runner) { runModal_ = std::move(runner); }

    // The folder chooser's answer as an installation path: upper case on Windows, the
    // separator appended.
    static std::string BrowsedPath(const QString& folder);

    const std::vector<HostSet>& sets() const { return sets_; }
    QComboBox* installBox() const { return installBox_; }
    QComboBox* catBox() const { return catBox_; }
    QListWidget* setList() const { return setList_; }
    QListWidget* vehicleBox() const { return vehicleBox_; }
    QPushButton* browseButton() const { return browseBtn_; }
    QPushButton* insertButton() const { return insertBtn_; }
    QRadioButton* standardButton() const { return rbStandard_; }
    QRadioButton* alternativeButton() const { return rbAlter_; }
    QLabel* motLabel() const { return motLabel_; }
    QLabel* zoom2Label() const { return labZ2_; }
    QLabel* infoLabel(int i) const { return info_[static_cast<std::size_t>(i)]; }
    QLabel* leftArrow() const { return imageBD_; }
    QLabel* rightArrow() const { return imageSD_; }
    QString statusText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class StatusLine;

    void findInstallations();
    bool browseInstallation();
    void browseClick();
    void installationChanged();
    void categoryChanged();
    void setListClick();
    void refreshInfo();
    // The selected vehicle magnified in a popup below its line.
    void showMagnified();
    void insertClick();
    void showProgress(int text, int setNumber);
    void discardSets();
    void clearVehicleBox();
    std::string installation() const;
    // The selected set's selected vehicle; null when there is none.
    const HostVehicle* selectedVehicle() const;
    std::string alternativeFile(const HostVehicle& vehicle) const;

    Frame& frame_;
    InstallationSource source_;
    ModalRunner runModal_;

    std::vector<std::string> installations_;  // the entries of InstallBox
    bool browsedEntry_ = false;
    bool initialised_ = false;
    std::string hostTextFile_;
    HostTextTable hostTexts_;
    std::vector<HostSet> sets_;
    int lastSet_ = -2;

    QComboBox* installBox_;
    QPushButton* browseBtn_;
    QComboBox* catBox_;
    QListWidget* setList_;
    QListWidget* vehicleBox_;
    std::array<QLabel*, 5> info_{};
    QLabel* labZ2_;
    QLabel* motLabel_;
    QLabel* imageBD_;
    QLabel* imageSD_;
    QRadioButton* rbStandard_;
    QRadioButton* rbAlter_;
    StatusLine* status_;
    QPushButton* insertBtn_;
    QPushButton* closeBtn_;
};

// The installations the host's registry key names: on Windows the current user's key
// read directly, elsewhere the user's Wine registry.
std::vector<std::string> RegistryInstallations();

#ifdef Q_OS_WIN
// The installations a key of the current user names as the host's key does: its string
// values whose names contain "_PFAD", in the registry's order, those that are
// installations.
std::vector<std::string> InstallationsInRegistryKey(const QString& keyPath);
#endif

}  // namespace rvk
