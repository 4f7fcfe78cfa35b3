// The vehicle window's image clipboard and transforms: copy, paste, mirror and rotate
// the selection on the plane of its view at the scale shown.
#include <QAction>
#include <QImage>
#include <QMenu>

#include "editor/qt_support.h"
#include "editor/step_names.h"
#include "editor/vehicle_form.h"
#include "editor/vehicle_tools.h"
#include "formats/image_payload.h"
#include "formats/png_exchange.h"
#include "platform/clipboard.h"
#include "platform/prompts.h"

namespace rvk {

namespace {

// The plain bitmap other programs read: the daylight screen colours.
QImage PlainBitmap(const ClipImage& image) {
    QImage bitmap(image.width, image.height, QImage::Format_RGB32);
    const std::vector<RgbColor> colors = ImageDisplayColors(image);
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            const RgbColor c = colors[static_cast<std::size_t>(y) * image.width + x];
            line[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
        }
    }
    return bitmap;
}

// A foreign bitmap as Normal colours; only the part that can land on the plane is
// converted.
std::optional<ClipImage> FromBitmap(const QImage& bitmap, int maxWidth, int maxHeight) {
    const QImage rgb = bitmap.copy(QRect(0, 0, maxWidth, maxHeight) & bitmap.rect())
                           .convertToFormat(QImage::Format_RGB32);
    return ImageFromRgb({reinterpret_cast<const std::uint32_t*>(rgb.constBits()),
                         static_cast<std::size_t>(rgb.sizeInBytes()) / 4},
                        rgb.width(), rgb.height(), static_cast<std::size_t>(rgb.bytesPerLine()) / 4,
                        maxWidth, maxHeight);
}

QByteArray ToBytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

}  // namespace

void VehicleForm::buildClipboardMenu() {
    editMenu()->addSeparator();
    copyAction_ = editMenu()->addAction(QStringLiteral("Copy"));
    copyAction_->setObjectName(QStringLiteral("iCopy"));
    copyAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(copyAction_, &QAction::triggered, this, &VehicleForm::CopySelection);
    pasteAction_ = editMenu()->addAction(QStringLiteral("Paste"));
    pasteAction_->setObjectName(QStringLiteral("iPaste"));
    pasteAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(pasteAction_, &QAction::triggered, this, &VehicleForm::PasteSelection);
    // The picture items that act on the selection follow the same rule.
    connect(editMenu(), &QMenu::aboutToShow, this, [this] {
        const bool oneView = selection_.SelView1 == selection_.SelView2;
        for (QAction* item :
             {copyAction_, pasteAction_, exportSelectionAction_, importPictureAction_})
            item->setEnabled(oneView);
    });
}

void VehicleForm::applyClipboardTexts() {
    copyAction_->setText(LookupQText(tools_->texts(), 72));
    pasteAction_->setText(LookupQText(tools_->texts(), 73));
}

void VehicleForm::CopySelection() {
    const std::optional<CellRect> r = selectionOrHint();
    if (!r) return;
    const ClipImage image = CopyImage(
        PlaneOf(static_cast<const VehicleRec*>(record_), selection_.SelView1, ShowsZoom2()), *r);
    const std::vector<std::uint8_t> payload = EncodeImagePayload(image);
    // Image editors take the PNG with its transparency; the exact values ride along.
    std::string error;
    const auto png = EncodePicturePng(image, error);
    clipboard().put(ClipFormat::Image, ToBytes(payload), PlainBitmap(image),
                    png ? ToBytes(*png) : QByteArray());
}

void VehicleForm::PasteSelection() {
    const std::optional<CellRect> r = SelectionRect();
    if (!r) return;
    const PlaneRef plane = PlaneOf(record_, selection_.SelView1, ShowsZoom2());
    std::optional<ClipImage> image;
    if (const std::optional<QByteArray> block = clipboard().block(ClipFormat::Image))
        image = DecodeImagePayload({reinterpret_cast<const std::uint8_t*>(block->constData()),
                                    static_cast<std::size_t>(block->size())});
    // A cut-off payload of our own counts as absent; a PNG file or the bitmap beside it
    // still serves. A PNG keeps its transparency, and the exact values of our own copy.
    if (!image)
        if (const std::optional<QByteArray> png = clipboard().png()) {
            PictureReadError ignored;
            if (auto read =
                    DecodePicturePng({reinterpret_cast<const std::uint8_t*>(png->constData()),
                                      static_cast<std::size_t>(png->size())},
                                     std::nullopt, plane.width, plane.height, ignored))
                image = std::move(read->image);
        }
    if (!image)
        if (const std::optional<QImage> bitmap = clipboard().bitmap())
            image = FromBitmap(*bitmap, plane.width - r->x1, plane.height - r->y1);
    if (!image) return;

    BeginStep(step::kPaste);
    PasteImage(plane, r->x1, r->y1, *image);
    PaintView(selection_.SelView1);
    NoteChange();
    EndStep();
}

void VehicleForm::Transform(TransformKind kind) {
    const std::optional<CellRect> r = SelectionRect();
    if (!r) return;
    BeginStep(kind == TransformKind::Rotate180 ? step::kRotate : step::kMirror);
    TransformRect(PlaneOf(record_, selection_.SelView1, ShowsZoom2()), *r, kind);
    PaintView(selection_.SelView1);
    NoteChange();
    EndStep();
}

}  // namespace rvk
