#include "platform/settings_store.h"

#include <QtEndian>

#include "model/lang_table.h"

namespace rvk {

namespace {

QString RecentName(int i) {
    return QStringLiteral("H%1").arg(i);
}

}  // namespace

QByteArray EncodeWindowPos(const WindowPlacement& placement) {
    QByteArray block(kWindowPosSize, '\0');
    const QRect& r = placement.normal;
    const qint32 edges[4] = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    for (int i = 0; i < 4; ++i) qToLittleEndian<qint32>(edges[i], block.data() + 4 * i);
    block[16] = placement.maximised ? '\1' : '\0';
    return block;
}

std::optional<WindowPlacement> DecodeWindowPos(const QByteArray& block) {
    if (block.size() != kWindowPosSize) return std::nullopt;
    qint32 edges[4];
    for (int i = 0; i < 4; ++i) edges[i] = qFromLittleEndian<qint32>(block.constData() + 4 * i);
    WindowPlacement placement;
    placement.normal =
        QRect(QPoint(edges[0], edges[1]), QSize(edges[2] - edges[0], edges[3] - edges[1]));
    placement.maximised = block[16] == '\1';
    return placement;
}

SettingsStore::SettingsStore() : settings_(QStringLiteral("DUR"), QStringLiteral("RVK 3.0")) {}

bool SettingsStore::exists() const {
    return !settings_.allKeys().isEmpty();
}

void SettingsStore::writeDefaults(const QString& programFolder) {
    for (int i = 0; i < kRecentCount; ++i) settings_.setValue(RecentName(i), QString());
    settings_.setValue(QStringLiteral("P1"), programFolder);
    settings_.setValue(QStringLiteral("P2"), programFolder);
    settings_.setValue(QStringLiteral("LangFile"),
                       QString::fromLatin1(kDefaultLangFile.data(), kDefaultLangFile.size()));
    settings_.sync();
}

ShellSettings SettingsStore::read() const {
    ShellSettings values;
    for (int i = 0; i < kRecentCount; ++i)
        values.recent[static_cast<std::size_t>(i)] = settings_.value(RecentName(i)).toString();
    values.documentFolder = settings_.value(QStringLiteral("P1")).toString();
    values.importFolder = settings_.value(QStringLiteral("P2")).toString();
    values.langFile = settings_.value(QStringLiteral("LangFile")).toString();
    if (settings_.contains(QStringLiteral("SingleSel")))
        values.singleSel = settings_.value(QStringLiteral("SingleSel")).toInt() != 0;
    if (settings_.contains(QStringLiteral("CellGrid")))
        values.cellGrid = settings_.value(QStringLiteral("CellGrid")).toInt() != 0;
    if (settings_.contains(QStringLiteral("JoinStrokes")))
        values.joinStrokes = settings_.value(QStringLiteral("JoinStrokes")).toInt() != 0;
    const QVariant pos = settings_.value(QStringLiteral("WindowPos"));
    if (pos.typeId() == QMetaType::QByteArray)
        values.windowPos = DecodeWindowPos(pos.toByteArray());
    bool isCount = false;
    const int seconds = settings_.value(QStringLiteral("AutosaveSeconds")).toInt(&isCount);
    if (isCount && seconds >= 0) values.autosaveSeconds = seconds;
    const int steps = settings_.value(QStringLiteral("UndoSteps")).toInt(&isCount);
    if (isCount && steps > 0) values.undoSteps = steps;
    return values;
}

void SettingsStore::write(const ShellSettings& values) {
    for (int i = 0; i < kRecentCount; ++i)
        settings_.setValue(RecentName(i), values.recent[static_cast<std::size_t>(i)]);
    settings_.setValue(QStringLiteral("P1"), values.documentFolder);
    settings_.setValue(QStringLiteral("P2"), values.importFolder);
    settings_.setValue(QStringLiteral("LangFile"), values.langFile);
    // A 32-bit integer 0 / 1, as the value has always been stored.
    if (values.singleSel)
        settings_.setValue(QStringLiteral("SingleSel"), qint32{*values.singleSel ? 1 : 0});
    if (values.windowPos)
        settings_.setValue(QStringLiteral("WindowPos"), EncodeWindowPos(*values.windowPos));
    settings_.setValue(QStringLiteral("AutosaveSeconds"), qint32{values.autosaveSeconds});
    if (values.cellGrid)
        settings_.setValue(QStringLiteral("CellGrid"), qint32{*values.cellGrid ? 1 : 0});
    if (values.joinStrokes)
        settings_.setValue(QStringLiteral("JoinStrokes"), qint32{*values.joinStrokes ? 1 : 0});
    settings_.setValue(QStringLiteral("UndoSteps"), qint32{values.undoSteps});
    settings_.sync();
}

bool SettingsStore::writable() const {
    return settings_.isWritable() && settings_.status() != QSettings::AccessError;
}

QString SettingsStore::pngFolder() const {
    return settings_.value(QStringLiteral("PngFolder")).toString();
}

void SettingsStore::setPngFolder(const QString& folder) {
    settings_.setValue(QStringLiteral("PngFolder"), folder);
    settings_.sync();
}

bool SettingsStore::previewShown() const {
    return settings_.value(QStringLiteral("Preview")).toInt() != 0;
}

void SettingsStore::setPreviewShown(bool shown) {
    settings_.setValue(QStringLiteral("Preview"), qint32{shown ? 1 : 0});
    settings_.sync();
}

QByteArray SettingsStore::previewSplit() const {
    return settings_.value(QStringLiteral("PreviewSplit")).toByteArray();
}

void SettingsStore::setPreviewSplit(const QByteArray& state) {
    settings_.setValue(QStringLiteral("PreviewSplit"), state);
    settings_.sync();
}

QVariantMap SettingsStore::tracePicture(const QString& key) const {
    return settings_.value(QStringLiteral("TracePictures")).toMap().value(key).toMap();
}

void SettingsStore::setTracePicture(const QString& key, const QVariantMap& picture) {
    QVariantMap all = settings_.value(QStringLiteral("TracePictures")).toMap();
    if (picture.isEmpty())
        all.remove(key);
    else
        all.insert(key, picture);
    settings_.setValue(QStringLiteral("TracePictures"), all);
    settings_.sync();
}

bool SettingsStore::trainShown() const {
    return settings_.value(QStringLiteral("TrainStrip")).toInt() != 0;
}

void SettingsStore::setTrainShown(bool shown) {
    settings_.setValue(QStringLiteral("TrainStrip"), qint32{shown ? 1 : 0});
    settings_.sync();
}

ShellSettings LoadShellSettings(const QString& programFolder) {
    SettingsStore store;
    if (!store.exists()) store.writeDefaults(programFolder);
    return store.read();
}

}  // namespace rvk
