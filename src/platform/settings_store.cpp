#include "platform/settings_store.h"

#include <QStringList>
#include <QtEndian>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

#include "formats/lang_table.h"
#include "platform/registry.h"

namespace rvk {

namespace {

QString RecentName(int i) {
    return QStringLiteral("H%1").arg(i);
}

QString& ApplicationName() {
    static QString name = QStringLiteral("RVK 3.0");
    return name;
}

#ifdef Q_OS_WIN
// QSettings stores a byte block as the text "@ByteArray(...)" and a boolean as "true":
// the values with a registry type of their own are read and written through the
// registry's API, in the key QSettings uses for the strings.
QString KeyPath() {
    return QStringLiteral("SOFTWARE\\DUR\\") + ApplicationName();
}
#endif

}  // namespace

QString SettingsApplication() {
    return ApplicationName();
}

void SetSettingsApplication(const QString& name) {
    ApplicationName() = name;
}

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

QString EncodeColorList(const std::vector<PixelValue>& colors) {
    QStringList words;
    for (PixelValue v : colors) words << QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0'));
    return words.join(QLatin1Char(','));
}

std::vector<PixelValue> DecodeColorList(const QString& text) {
    std::vector<PixelValue> colors;
    for (const QString& word : text.split(QLatin1Char(','))) {
        bool ok = false;
        const PixelValue v = word.toUInt(&ok, 16);
        if (ok && word.size() == 8) colors.push_back(v);
    }
    return colors;
}

SettingsStore::SettingsStore() : settings_(QStringLiteral("DUR"), ApplicationName()) {}

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
    values.singleSel = flag(QStringLiteral("SingleSel"));
    values.cellGrid = flag(QStringLiteral("CellGrid"));
    values.joinStrokes = flag(QStringLiteral("JoinStrokes"));
    if (const auto pos = block(QStringLiteral("WindowPos")))
        values.windowPos = DecodeWindowPos(*pos);
    const std::optional<qint32> seconds = integer(QStringLiteral("AutosaveSeconds"));
    if (seconds && *seconds >= 0) values.autosaveSeconds = *seconds;
    const std::optional<qint32> steps = integer(QStringLiteral("UndoSteps"));
    if (steps && *steps > 0) values.undoSteps = *steps;
    if (settings_.contains(QStringLiteral("RecentColors")))
        values.recentColors =
            DecodeColorList(settings_.value(QStringLiteral("RecentColors")).toString());
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
    if (values.recentColors)
        settings_.setValue(QStringLiteral("RecentColors"), EncodeColorList(*values.recentColors));
    if (values.singleSel) setInteger(QStringLiteral("SingleSel"), *values.singleSel ? 1 : 0);
    if (values.windowPos) setBlock(QStringLiteral("WindowPos"), EncodeWindowPos(*values.windowPos));
    setInteger(QStringLiteral("AutosaveSeconds"), values.autosaveSeconds);
    if (values.cellGrid) setInteger(QStringLiteral("CellGrid"), *values.cellGrid ? 1 : 0);
    if (values.joinStrokes) setInteger(QStringLiteral("JoinStrokes"), *values.joinStrokes ? 1 : 0);
    setInteger(QStringLiteral("UndoSteps"), values.undoSteps);
    settings_.sync();
}

bool SettingsStore::writable() const {
    return settings_.isWritable() && settings_.status() != QSettings::AccessError && !failed_;
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

std::optional<bool> SettingsStore::flag(const QString& name) const {
    const std::optional<qint32> value = integer(name);
    if (!value) return std::nullopt;
    return *value != 0;
}

#ifdef Q_OS_WIN
std::optional<qint32> SettingsStore::integer(const QString& name) const {
    const std::optional<QByteArray> bytes = RegistryValue(KeyPath(), name, REG_DWORD);
    if (!bytes || bytes->size() != 4) return std::nullopt;
    return qFromLittleEndian<qint32>(bytes->constData());
}

void SettingsStore::setInteger(const QString& name, qint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(value, bytes.data());
    // The strings first, so that the values are kept in the order they were written.
    settings_.sync();
    if (!SetRegistryValue(KeyPath(), name, REG_DWORD, bytes)) failed_ = true;
}

std::optional<QByteArray> SettingsStore::block(const QString& name) const {
    return RegistryValue(KeyPath(), name, REG_BINARY);
}

void SettingsStore::setBlock(const QString& name, const QByteArray& bytes) {
    settings_.sync();
    if (!SetRegistryValue(KeyPath(), name, REG_BINARY, bytes)) failed_ = true;
}
#else
std::optional<qint32> SettingsStore::integer(const QString& name) const {
    bool isInteger = false;
    const qint32 value = settings_.value(name).toInt(&isInteger);
    if (!isInteger) return std::nullopt;
    return value;
}

void SettingsStore::setInteger(const QString& name, qint32 value) {
    settings_.setValue(name, value);
}

std::optional<QByteArray> SettingsStore::block(const QString& name) const {
    const QVariant value = settings_.value(name);
    if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
    return value.toByteArray();
}

void SettingsStore::setBlock(const QString& name, const QByteArray& bytes) {
    settings_.setValue(name, bytes);
}
#endif

ShellSettings LoadShellSettings(const QString& programFolder) {
    SettingsStore store;
    if (!store.exists()) store.writeDefaults(programFolder);
    return store.read();
}

}  // namespace rvk
