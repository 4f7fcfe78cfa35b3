#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "app/main_form.h"
#include "docwin/file_form.h"
#include "fleet/fleet_form.h"
#include "formats/vehicle_image.h"
#include "shell/name_list_box.h"
#include "shell_test.h"
#include "storage/file_io.h"

namespace rvk {
namespace {

using test::ShellTest;

class FileFormTest : public ShellTest {
protected:
    TFileForm* open(const QString& name, int fleets, int vehicles = 0) {
        main_->OpenDocument(writeDocument(name, fleets, vehicles));
        return main_->documents().back();
    }
    void SetUp() override {
        ShellTest::SetUp();
        main_ = startMain();
    }
    void TearDown() override {
        if (main_) endMain(main_);
        ShellTest::TearDown();
    }
    std::unique_ptr<TMainForm> main_;
};

TEST_F(FileFormTest, NewFleetAskedByNameAndInsertedBeforeTheSelection) {
    TFileForm* doc = open("f.rvk", 2);
    doc->fleetBox()->selectRow(1);
    prompts().answerText(QStringLiteral("Straßenbahn"));
    EXPECT_TRUE(trigger(doc->popupMenu(), "pNew"));
    const PromptCall& ask = prompts().calls().at(0);
    EXPECT_EQ(ask.kind, PromptKind::NameInput);
    EXPECT_EQ(ask.caption, "E546");
    EXPECT_EQ(ask.text, "E547");
    EXPECT_EQ(ask.initial, "E500");
    EXPECT_EQ(ask.cancelText, "E521");
    EXPECT_EQ(ask.maxLength, 32);
    ASSERT_EQ(doc->document().fleets.size(), 3u);
    EXPECT_EQ(doc->document().fleets[1]->name,
              "Stra\xdf"
              "enbahn");  // stored as Windows-1252
    EXPECT_EQ(doc->fleetBox()->item(1)->text(), "Straßenbahn");
    EXPECT_EQ(doc->fleetBox()->selectedRow(), 1);
    EXPECT_EQ(doc->windowTitle(), "f.rvk *");

    // An empty name is refused; Cancel does nothing.
    prompts().answerText(QString());
    prompts().answerMessage(MsgAnswer::Ok);
    prompts().answerText(std::nullopt);
    EXPECT_TRUE(trigger(doc->editMenu(), "pNew"));
    EXPECT_TRUE(trigger(doc->editMenu(), "pNew"));
    EXPECT_EQ(prompts().calls().at(2).text, "E548");
    EXPECT_EQ(prompts().calls().at(2).caption, "E544");
    EXPECT_EQ(doc->document().fleets.size(), 3u);

    // A click below the last fleet clears the selection: appended at the end.
    QTest::mouseClick(doc->fleetBox()->viewport(), Qt::LeftButton, {},
                      QPoint(5, doc->fleetBox()->viewport()->height() - 3));
    EXPECT_EQ(doc->fleetBox()->selectedRow(), -1);
    prompts().answerText(QStringLiteral("Last"));
    EXPECT_TRUE(trigger(doc->popupMenu(), "pNew"));
    EXPECT_EQ(doc->document().fleets.back()->name, "Last");

    doc->document().modified = false;  // nothing to ask when closing
}

TEST_F(FileFormTest, RenameDeleteAndTheirRefusals) {
    TFileForm* doc = open("r.rvk", 2);
    TFleetForm* window = openFleet(doc, 0);
    doc->fleetBox()->selectRow(0);
    prompts().answerText(QStringLiteral("Fleet 0"));  // unchanged
    prompts().answerText(QString());                  // empty
    EXPECT_TRUE(trigger(doc->popupMenu(), "pRename"));
    EXPECT_TRUE(trigger(doc->popupMenu(), "pRename"));
    EXPECT_EQ(prompts().calls().at(0).caption, "E550");
    EXPECT_EQ(prompts().calls().at(0).initial, "Fleet 0");
    EXPECT_FALSE(doc->document().modified);

    prompts().answerText(QStringLiteral("Trams"));
    EXPECT_TRUE(trigger(doc->popupMenu(), "pRename"));
    EXPECT_EQ(doc->fleetBox()->item(0)->text(), "Trams");
    EXPECT_EQ(window->windowTitle(), "[r.rvk] - Trams");
    EXPECT_TRUE(doc->document().modified);

    doc->document().modified = false;
    doc->fleetBox()->selectRow(0);
    prompts().answerMessage(MsgAnswer::No);
    EXPECT_TRUE(trigger(doc->popupMenu(), "pDelete"));
    EXPECT_EQ(prompts().calls().back().text, "E549");
    EXPECT_EQ(prompts().calls().back().caption, "E541");
    EXPECT_EQ(prompts().calls().back().icon, MsgIcon::Warning);
    EXPECT_EQ(prompts().calls().back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(doc->document().fleets.size(), 2u);

    prompts().answerMessage(MsgAnswer::Yes);
    EXPECT_TRUE(trigger(doc->popupMenu(), "pDelete"));
    EXPECT_EQ(doc->document().fleets.size(), 1u);
    EXPECT_TRUE(doc->fleetWindows().empty());  // its window went first
    EXPECT_EQ(doc->fleetBox()->count(), 1);
    doc->document().modified = false;
}

TEST_F(FileFormTest, TenFleetLimitAndMenuEnabling) {
    TFileForm* doc = open("ten.rvk", 10);
    QMenu* edit = doc->editMenu();
    emit edit->aboutToShow();
    EXPECT_FALSE(item(edit, "pNew")->isEnabled());
    EXPECT_FALSE(item(edit, "pPaste")->isEnabled());
    EXPECT_FALSE(item(edit, "pEdit")->isEnabled());  // nothing selected
    EXPECT_FALSE(item(edit, "pCut")->isEnabled());

    auto eleventh = CreateFleet("extra");
    EXPECT_EQ(doc->InsertFleet(-1, std::move(eleventh)), -1);

    doc->fleetBox()->selectRow(4);
    EXPECT_TRUE(trigger(doc->popupMenu(), "pCut"));
    EXPECT_EQ(doc->document().fleets.size(), 9u);
    emit edit->aboutToShow();
    EXPECT_TRUE(item(edit, "pNew")->isEnabled());
    EXPECT_TRUE(item(edit, "pPaste")->isEnabled());
    EXPECT_TRUE(trigger(edit, "pPaste"));
    EXPECT_EQ(doc->document().fleets.size(), 10u);
    EXPECT_EQ(doc->document().fleets.back()->name, "Fleet 4");
    doc->document().modified = false;
}

TEST_F(FileFormTest, FleetPayloadOfThreeVehiclesAndEqualPaste) {
    TFileForm* doc = open("p.rvk", 2, 3);
    doc->fleetBox()->selectRow(0);
    EXPECT_TRUE(trigger(doc->popupMenu(), "pCopy"));
    const auto block = clip().block(ClipFormat::Fleet);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(block->size(), 732010);
    EXPECT_EQ(block->left(8), QByteArray("Fleet 0\0", 8));
    EXPECT_EQ(block->at(33), 3);
    EXPECT_FALSE(doc->document().modified);  // copying changes nothing

    doc->fleetBox()->selectRow(1);
    EXPECT_TRUE(trigger(doc->popupMenu(), "pPaste"));
    const auto& fleets = doc->document().fleets;
    ASSERT_EQ(fleets.size(), 3u);
    EXPECT_EQ(fleets[1]->name, "Fleet 0");  // before the selected fleet
    EXPECT_EQ(doc->fleetBox()->selectedRow(), 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(VehicleToImage(*fleets[1]->vehicles[k]), VehicleToImage(*fleets[0]->vehicles[k]));
    EXPECT_NE(fleets[1]->vehicles[0].get(), fleets[0]->vehicles[0].get());
    EXPECT_TRUE(doc->document().modified);
    doc->document().modified = false;
}

TEST_F(FileFormTest, PasteWithoutAUsablePayloadDoesNothing) {
    TFileForm* doc = open("n.rvk", 1);
    EXPECT_TRUE(trigger(doc->popupMenu(), "pPaste"));  // empty clipboard
    clip().offer(ClipFormat::Fleet, QByteArray(34 + 100, '\0').replace(33, 1, "\1"));
    EXPECT_TRUE(trigger(doc->popupMenu(), "pPaste"));  // announces a vehicle it lacks
    clip().put(ClipFormat::Vehicle, QByteArray(243992, '\0'));
    EXPECT_TRUE(trigger(doc->popupMenu(), "pPaste"));  // another format
    EXPECT_EQ(doc->document().fleets.size(), 1u);
    EXPECT_FALSE(doc->document().modified);
}

TEST_F(FileFormTest, InfoTextEditsMarkTheDocument) {
    TFileForm* doc = open("i.rvk", 0);
    EXPECT_EQ(doc->infoMemo()->toPlainText(), "test document");
    EXPECT_FALSE(doc->document().modified);
    doc->infoMemo()->setPlainText("line 1\nline 2");
    EXPECT_EQ(doc->document().info, "line 1\r\nline 2");
    EXPECT_EQ(doc->windowTitle(), "i.rvk *");

    // No more than the file can give back: 2047 bytes, a line break counting two.
    doc->infoMemo()->setPlainText(QString(2045, 'a') + "\nbcd");
    EXPECT_EQ(doc->document().info, std::string(2045, 'a') + "\r\n");
    doc->infoMemo()->setPlainText(QString(2046, 'a') + "\nb");
    EXPECT_EQ(doc->document().info, std::string(2046, 'a'));  // no half line break
    EXPECT_EQ(doc->infoMemo()->toPlainText(), QString(2046, 'a'));
    doc->document().modified = false;
}

// --- Closing ---

TEST_F(FileFormTest, CloseQuestionCancelNoAndYes) {
    TFileForm* doc = open("c.rvk", 1);
    openFleet(doc, 0);
    doc->SetModified(true);
    prompts().answerMessage(MsgAnswer::Cancel);
    EXPECT_FALSE(doc->closeWindow());
    const PromptCall& ask = prompts().calls().at(0);
    EXPECT_EQ(ask.text, "E-save c.rvk?");
    EXPECT_EQ(ask.caption, "E542");
    EXPECT_EQ(ask.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(doc->fleetWindows().size(), 1u);

    doc->infoMemo()->setPlainText("changed");
    prompts().answerMessage(MsgAnswer::Yes);
    EXPECT_TRUE(doc->closeWindow());
    EXPECT_TRUE(main_->documents().empty());
    FileDoc back;
    back.path = dataPath("c.rvk").toStdString();
    ASSERT_TRUE(LoadDocument(back).ok);
    EXPECT_EQ(back.info, "changed");
}

TEST_F(FileFormTest, FailedSaveFromTheCloseQuestionKeepsTheWindow) {
    TFileForm* doc = open("gone.rvk", 1);
    // The folder disappears: the save cannot create its file.
    doc->SetPath(dataPath("no-such-folder/gone.rvk"));
    doc->SetModified(true);
    prompts().answerMessage(MsgAnswer::Yes);
    prompts().answerMessage(MsgAnswer::Ok);
    EXPECT_FALSE(doc->closeWindow());
    EXPECT_EQ(prompts().calls().at(1).text,
              "E-cannot save " + dataPath("no-such-folder/gone.rvk") + ": " +
                  QString::fromStdString(
                      std::make_error_code(std::errc::no_such_file_or_directory).message()));
    EXPECT_EQ(prompts().calls().at(1).caption, "E544");
    ASSERT_EQ(main_->documents().size(), 1u);
    EXPECT_TRUE(doc->document().modified);
    EXPECT_EQ(doc->windowTitle(), "gone.rvk *");
    doc->document().modified = false;
}

TEST_F(FileFormTest, YesOnANeverSavedDocumentRunsSaveAs) {
    main_->NewDocumentWindow(QString());
    TFileForm* doc = main_->documents()[0];
    doc->SetModified(true);
    prompts().answerMessage(MsgAnswer::Yes);
    prompts().answerText(std::nullopt);
    EXPECT_FALSE(doc->closeWindow());
    EXPECT_EQ(prompts().calls().at(1).kind, PromptKind::SaveFile);
    EXPECT_EQ(main_->documents().size(), 1u);
    EXPECT_FALSE(FileExists("New01.rvk"));

    prompts().answerMessage(MsgAnswer::Yes);
    prompts().answerText(dataPath("named.rvk"));
    EXPECT_TRUE(doc->closeWindow());
    EXPECT_TRUE(FileExists(dataPath("named.rvk").toStdString()));
}

TEST_F(FileFormTest, ExitAsksEveryDocumentAndCancelKeepsAllOpen) {
    TFileForm* a = open("a.rvk", 1);
    TFileForm* b = open("b.rvk", 1);
    a->SetModified(true);
    b->SetModified(true);
    prompts().answerMessage(MsgAnswer::No);
    prompts().answerMessage(MsgAnswer::Cancel);
    EXPECT_TRUE(trigger(menu(main_.get(), "mFile"), "iExit"));
    EXPECT_TRUE(main_->isVisible());
    EXPECT_EQ(main_->documents().size(), 2u);

    prompts().answerMessage(MsgAnswer::No);
    prompts().answerMessage(MsgAnswer::No);
    EXPECT_TRUE(trigger(menu(main_.get(), "mFile"), "iExit"));
    EXPECT_FALSE(main_->isVisible());
    EXPECT_TRUE(main_->documents().empty());
    EXPECT_EQ(prompts().calls().size(), 4u);  // no second question while closing
}

}  // namespace
}  // namespace rvk
