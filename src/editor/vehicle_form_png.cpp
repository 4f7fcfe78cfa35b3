// The vehicle window's PNG commands: the selection or the whole vehicle to a picture
// file, and a picture file into the selection.
#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "editor/qt_support.h"
#include "editor/step_names.h"
#include "editor/vehicle_form.h"
#include "editor/vehicle_tools.h"
#include "formats/png_exchange.h"
#include "platform/file_names.h"
#include "platform/prompts.h"
#include "platform/settings_store.h"
#include "records/vehicle_picture.h"
#include "shell/frame.h"
#include "storage/file_io.h"
#include "storage/picture_files.h"
#include "storage/save_set.h"

namespace rvk {

namespace {

constexpr int kMaxPictureZoom = 16;

}  // namespace

void VehicleForm::buildPngMenu() {
    editMenu()->addSeparator();
    const auto add = [this](const char* name, void (VehicleForm::*command)()) {
        QAction* action = editMenu()->addAction(QString::fromLatin1(name));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    exportSelectionAction_ = add("iExportSelection", &VehicleForm::ExportSelection);
    exportViewsAction_ = add("iExportViews", &VehicleForm::ExportViews);
    importPictureAction_ = add("iImportPicture", &VehicleForm::ImportPicture);
}

void VehicleForm::applyPngTexts() {
    exportSelectionAction_->setText(LookupQText(tools_->texts(), 76));
    exportViewsAction_->setText(LookupQText(tools_->texts(), 77));
    importPictureAction_->setText(LookupQText(tools_->texts(), 78));
}

std::optional<QString> VehicleForm::askPictureFile(int titleText, bool forSaving) {
    LangTexts& texts = tools_->texts();
    const QString filter = LookupQText(texts, 514) + QStringLiteral("|*.png|") +
                           LookupQText(texts, 511) + QStringLiteral("|*.*");
    SettingsStore settings;
    const QString folder = settings.pngFolder();
    const QString title = LookupQText(texts, titleText);
    const QString suffix = QStringLiteral("png");
    std::optional<QString> path = forSaving
                                      ? prompts().saveFile(this, title, filter, folder, suffix)
                                      : prompts().openFile(this, title, filter, folder, suffix);
    if (path) settings.setPngFolder(QFileInfo(*path).absolutePath());
    return path;
}

void VehicleForm::reportPictureError(int text, const std::string& error) {
    LangTexts& texts = tools_->texts();
    prompts().message(this, FormatQText(LookupQText(texts, text), {QString::fromStdString(error)}),
                      LookupQText(texts, 544), MsgIcon::Error, MsgButtons::Ok);
}

std::optional<CellRect> VehicleForm::selectionOrHint() {
    const std::optional<CellRect> r = SelectionRect();
    if (!r) {
        LangTexts& texts = tools_->texts();
        prompts().message(this, LookupQText(texts, 556), LookupQText(texts, 540),
                          MsgIcon::Information, MsgButtons::Ok);
    }
    return r;
}

void VehicleForm::ExportSelection() {
    const std::optional<CellRect> r = selectionOrHint();
    if (!r) return;
    const std::optional<QString> path = askPictureFile(710, true);
    if (!path) return;
    LangTexts& texts = tools_->texts();
    const MsgAnswer types =
        prompts().message(this, LookupQText(texts, 606), LookupQText(texts, 542), MsgIcon::Question,
                          MsgButtons::YesNoCancel);
    if (types == MsgAnswer::Cancel) return;
    const ClipImage image = CopyImage(
        PlaneOf(static_cast<const VehicleRec*>(record_), selection_.SelView1, ShowsZoom2()), *r);
    std::string error;
    if (!WritePictureFiles(PathFromQString(*path), image, types == MsgAnswer::Yes, error))
        reportPictureError(601, error);
}

void VehicleForm::ExportViews() {
    LangTexts& texts = tools_->texts();
    const QString title = LookupQText(texts, 711);
    const std::optional<int> zoom =
        prompts().chooseNumber(this, title, FormatQText(LookupQText(texts, 603), {kMaxPictureZoom}),
                               1, kMaxPictureZoom, zoom_);
    if (!zoom) return;
    const std::optional<QString> path = askPictureFile(711, true);
    if (!path) return;
    const RgbaImage picture = DrawVehiclePicture(*record_, ShowsZoom2(), *zoom, kLayoutBelow,
                                                 tools_->CurrentNightLevel(), false);
    std::string error;
    const auto png = EncodePng(picture, false, PngChunk{}, error);
    if (!png) {
        reportPictureError(601, path->toStdString() + ": " + error);
        return;
    }
    if (std::optional<FileError> failed; !WriteFileAtomic(PathFromQString(*path), *png, &failed))
        reportPictureError(601, failed->path + ": cannot be written (" + Describe(*failed) + ")");
}

void VehicleForm::ImportPicture() {
    const std::optional<CellRect> r = selectionOrHint();
    if (!r) return;
    const std::optional<QString> path = askPictureFile(712, false);
    if (!path) return;
    const PlaneRef plane = PlaneOf(record_, selection_.SelView1, ShowsZoom2());
    std::string error;
    const auto read = ReadPictureFiles(PathFromQString(*path), plane.width, plane.height, error);
    if (!read) {
        reportPictureError(600, error);
        return;
    }
    BeginStep(step::kImport);
    PasteImage(plane, r->x1, r->y1, read->image);
    PaintView(selection_.SelView1);
    NoteChange();
    EndStep();
    if (read->unknownTypes > 0) {
        LangTexts& texts = tools_->texts();
        prompts().message(this, FormatQText(LookupQText(texts, 602), {read->unknownTypes}),
                          LookupQText(texts, 540), MsgIcon::Information, MsgButtons::Ok);
    }
}

}  // namespace rvk
