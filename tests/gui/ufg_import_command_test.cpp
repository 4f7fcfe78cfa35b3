// File > Import: a pair of old-format vehicle files becomes a new, unnamed, modified
// document; damaged files are reported by name.
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>

#include "../host/ufg_pair.h"
#include "app/main_form.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "host/ufg_import.h"
#include "shell/name_list_box.h"
#include "shell_test.h"

namespace rvk {
namespace {

using namespace ufgtest;
using test::ShellTest;

class UfgImportCommandTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        main_ = startMain();
    }
    void TearDown() override {
        // Imported documents are modified: closing asks, and No leaves them unsaved.
        if (main_) {
            for (std::size_t i = 0; i < main_->documents().size(); ++i)
                prompts().answerMessage(MsgAnswer::No);
            endMain(main_);
        }
        ShellTest::TearDown();
    }
    // Writes NAME.ufg and, when given, NAME.uzz; the graphics file's path.
    QString writePair(const QString& name, const Bytes& ufg, const std::optional<Bytes>& uzz) {
        WriteBytes(dataPath(name + ".ufg").toStdString(), ufg);
        if (uzz) WriteBytes(dataPath(name + ".uzz").toStdString(), *uzz);
        return dataPath(name + ".ufg");
    }
    // Runs File > Import with the open dialog answered (nothing: cancelled) and the
    // given number of message boxes expected after it.
    void import(const std::optional<QString>& chosen, int messages = 0) {
        prompts().answerText(chosen);
        for (int i = 0; i < messages; ++i) prompts().answerMessage(MsgAnswer::Ok);
        EXPECT_TRUE(trigger(menu(main_.get(), "mFile"), "iImport"));
    }
    static QStringList lines(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    std::unique_ptr<TMainForm> main_;
};

TEST_F(UfgImportCommandTest, ChosenPairBecomesANewUnnamedModifiedDocument) {
    // The item sits between separators after Save As, before the recent files.
    QMenu* file = menu(main_.get(), "mFile");
    const QList<QAction*> items = file->actions();
    const auto at = items.indexOf(item(file, "iImport"));
    ASSERT_GE(at, 2);
    EXPECT_EQ(items[at]->text(), "E19");
    EXPECT_EQ(items[at - 2]->objectName(), "iSaveAs");
    EXPECT_TRUE(items[at - 1]->isSeparator() && items[at + 1]->isSeparator());
    EXPECT_EQ(items[at + 2]->objectName(), "H0");

    const QString ufg = writePair("old", SampleUfg(), SampleUzz());
    import(ufg);
    ASSERT_EQ(prompts().calls().size(), 1u);
    const PromptCall& ask = prompts().calls()[0];
    EXPECT_EQ(ask.kind, PromptKind::OpenFile);
    EXPECT_EQ(ask.caption, "E700");
    EXPECT_EQ(ask.filter, "E512|*.ufg|E511|*.*");
    EXPECT_EQ(ask.folder, programFolder());
    EXPECT_EQ(main_->importFolder(), dataFolder());

    ASSERT_EQ(main_->documents().size(), 1u);
    TFileForm* doc = main_->documents()[0];
    EXPECT_EQ(main_->DocumentOfActiveWindow(), doc);
    EXPECT_EQ(doc->windowTitle(), "New01.rvk *");
    EXPECT_TRUE(doc->document().modified);
    EXPECT_FALSE(doc->document().named);
    EXPECT_EQ(doc->document().info, "Sample pair\r\nline 2");
    EXPECT_EQ(doc->infoMemo()->toPlainText(), "Sample pair\nline 2");
    EXPECT_EQ(lines(doc->fleetBox()), QStringList({"Trämways", "Steam"}));
    TFleetForm* fleet = openFleet(doc, 1);
    ASSERT_TRUE(fleet);
    EXPECT_EQ(fleet->fleet().vehicles.size(), 3u);
    EXPECT_EQ(fleet->fleet().vehicles[0]->Info[0], "Loco");

    // The dialog again, straight away: a second document, the folder remembered.
    import(ufg);
    EXPECT_EQ(prompts().callsOf(PromptKind::OpenFile).back().folder, dataFolder());
    ASSERT_EQ(main_->documents().size(), 2u);
    EXPECT_EQ(main_->documents()[1]->windowTitle(), "New02.rvk *");

    // Save on it asks for a name; cancelling leaves it unnamed and modified.
    prompts().answerText(std::nullopt);
    EXPECT_TRUE(trigger(menu(main_.get(), "mFile"), "iSave"));
    EXPECT_EQ(prompts().calls().back().kind, PromptKind::SaveFile);
    EXPECT_FALSE(main_->documents()[1]->document().named);
    EXPECT_TRUE(main_->documents()[1]->document().modified);
    EXPECT_EQ(prompts().callsOf(PromptKind::Message).size(), 0u);
}

TEST_F(UfgImportCommandTest, CancelledDialogDoesNothing) {
    import(std::nullopt);
    EXPECT_TRUE(main_->documents().empty());
    EXPECT_EQ(main_->importFolder(), programFolder());
    EXPECT_EQ(prompts().calls().size(), 1u);
}

TEST_F(UfgImportCommandTest, DamagedGraphicsOrMissingCompanionCreatesNoDocument) {
    const Bytes good = SampleUfg();
    UfgFleet crowded = SampleUfgFleet(1);
    crowded.vehicles.assign(kUfgMaxMemory / kUfgVehicleMemory + 1, Bytes{0, 0, 0, 0});
    const struct {
        QString ufg;
        QString text;
    } cases[] = {
        {writePair("cut", Bytes(good.begin(), good.end() - 3), SampleUzz()),
         "E-damaged " + dataPath("cut.ufg")},
        {writePair("alone", good, std::nullopt), "E-cannot open *.UZZ"},
        {writePair("crowded", UfgFile("", {crowded}), SampleUzz()),
         "E-too many vehicles " + dataPath("crowded.ufg")},
    };
    for (const auto& c : cases) {
        prompts().reset();
        import(c.ufg, 1);
        const auto shown = prompts().callsOf(PromptKind::Message);
        ASSERT_EQ(shown.size(), 1u) << c.text.toStdString();
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_EQ(shown[0].caption, "E544");
        EXPECT_EQ(shown[0].icon, MsgIcon::Error);
        EXPECT_TRUE(main_->documents().empty());
    }
}

TEST_F(UfgImportCommandTest, DamagedOrShortCompanionKeepsTheFleetsRead) {
    const Bytes uzz = SampleUzz();
    const struct {
        QString ufg;
        QString text, caption;
        MsgIcon icon;
    } cases[] = {
        {writePair("cut", SampleUfg(), Bytes(uzz.begin(), uzz.end() - 2)),
         "E-companion damaged " + dataPath("cut.uzz"), "E544", MsgIcon::Error},
        {writePair("short", SampleUfg(), UzzFile({SampleUzzFleets()[0]})), "E557", "E543",
         MsgIcon::Warning},
    };
    for (const auto& c : cases) {
        prompts().reset();
        import(c.ufg, 1);
        const auto shown = prompts().callsOf(PromptKind::Message);
        ASSERT_EQ(shown.size(), 1u) << c.text.toStdString();
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_EQ(shown[0].caption, c.caption);
        EXPECT_EQ(shown[0].icon, c.icon);
        TFileForm* doc = main_->documents().back();
        EXPECT_TRUE(doc->document().modified);
        EXPECT_EQ(lines(doc->fleetBox()), QStringList({"Trämways", "???"}));
        // The unnamed fleet holds its vehicles as the graphics file gave them.
        TFleetForm* fleet = openFleet(doc, 1);
        ASSERT_TRUE(fleet);
        ASSERT_EQ(fleet->fleet().vehicles.size(), 3u);
        EXPECT_EQ(fleet->fleet().vehicles[0]->Info[0], "???");
        EXPECT_EQ(fleet->fleet().vehicles[0]->Props, kDefaultProps);
    }
}

TEST_F(UfgImportCommandTest, FleetsAndVehiclesBeyondTheLimitsAreKept) {
    UfgFleet big = SampleUfgFleet(1);
    big.vehicles.assign(17, Bytes{1, 1, 1, 1});
    std::vector<UfgFleet> fleets(11, SampleUfgFleet(1));
    fleets[0] = big;
    import(writePair("big", UfgFile("", fleets), SampleUzz()), 1);  // warning 557
    TFileForm* doc = main_->documents().at(0);
    EXPECT_EQ(doc->fleetBox()->count(), 11);
    TFleetForm* fleet = openFleet(doc, 0);
    ASSERT_TRUE(fleet);
    EXPECT_EQ(fleet->fleet().vehicles.size(), 17u);
    // Nothing more fits; the oversize fleet cannot go to the clipboard (its payload
    // holds at most 16 vehicles, and a cut would lose it), the others can.
    QMenu* popup = doc->popupMenu();
    doc->fleetBox()->selectRow(0);
    emit popup->aboutToShow();
    EXPECT_FALSE(item(popup, "pNew")->isEnabled());
    EXPECT_FALSE(item(popup, "pPaste")->isEnabled());
    EXPECT_FALSE(item(popup, "pCut")->isEnabled());
    EXPECT_FALSE(item(popup, "pCopy")->isEnabled());
    doc->fleetBox()->selectRow(1);
    emit popup->aboutToShow();
    EXPECT_TRUE(item(popup, "pCut")->isEnabled());
}

}  // namespace
}  // namespace rvk
