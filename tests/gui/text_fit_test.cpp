// Every text of each shipped language file fits where it is shown: every window and
// dialog is laid out at its default size in each language, and no label, check box,
// radio button, push button, group title, tab or combo-box entry may be cut off.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/main_form.h"
#include "app/tool_panel.h"
#include "docwin/file_form.h"
#include "editor/move_form.h"
#include "editor/steam_form.h"
#include "editor/trace_picture.h"
#include "editor/vehicle_form.h"
#include "fleet/fleet_form.h"
#include "fleet/import_form.h"
#include "platform/input_dialog.h"
#include "platform/qt_prompts.h"
#include "platform/settings_store.h"
#include "platform/toolkit_language.h"
#include "shell/name_list_box.h"
#include "shell_test.h"

namespace rvk {
namespace {

using test::ShellTest;

QString Plain(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// Width a push or tool button needs for its text: the text, the margins the style
// keeps around it, and the icon when there is one.
int ButtonNeeds(const QAbstractButton* b) {
    const QStyle* style = b->style();
    int needs = b->fontMetrics().horizontalAdvance(Plain(b->text())) +
                style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
    if (!b->icon().isNull()) needs += b->iconSize().width() + 4;
    return needs;
}

// What of `widget` (shown, with text) is cut off, or nothing.
QString Clipped(QWidget* widget) {
    const QFontMetrics fm = widget->fontMetrics();
    const auto tooNarrow = [&](const QString& text, int needs, int has) {
        return QStringLiteral("'%1' needs %2 px, has %3").arg(text).arg(needs).arg(has);
    };
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return {};
        const QRect inside = label->contentsRect();
        if (label->wordWrap()) {
            const int needs = label->heightForWidth(label->width());
            if (needs > label->height())
                return QStringLiteral("'%1' needs %2 px height, has %3")
                    .arg(label->text())
                    .arg(needs)
                    .arg(label->height());
            return {};
        }
        const QSize needs = fm.size(Qt::TextShowMnemonic, label->text());
        if (needs.width() + 2 * label->margin() > inside.width())
            return tooNarrow(label->text(), needs.width(), inside.width());
        if (fm.height() > inside.height() + 2)  // a line may lose its descent, not more
            return QStringLiteral("'%1' is %2 px high, has %3")
                .arg(label->text())
                .arg(fm.height())
                .arg(inside.height());
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->text().isEmpty()) return {};
        const auto* tool = qobject_cast<QToolButton*>(button);
        if (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull())
            return {};
        const bool box = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        const int needs = box ? button->sizeHint().width() : ButtonNeeds(button);
        if (needs > button->width()) return tooNarrow(button->text(), needs, button->width());
        if (fm.height() > button->height()) return tooNarrow(button->text(), fm.height(), button->height());
        return {};
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        // The title sits inside the frame with a few pixels either side.
        const int needs = fm.horizontalAdvance(Plain(group->title())) + 8;
        if (!group->title().isEmpty() && needs > group->width())
            return tooNarrow(group->title(), needs, group->width());
        return {};
    }
    if (auto* bar = qobject_cast<QTabBar*>(widget)) {
        const int space = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tab = bar->tabRect(i);
            const int needs = fm.horizontalAdvance(Plain(bar->tabText(i))) + space;
            if (needs > tab.width() || !bar->rect().contains(tab))
                return tooNarrow(bar->tabText(i), needs, tab.intersected(bar->rect()).width());
        }
        return {};
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        const int has = combo->style()
                            ->subControlRect(QStyle::CC_ComboBox, &opt,
                                             QStyle::SC_ComboBoxEditField, combo)
                            .width();
        for (int i = 0; i < combo->count(); ++i) {
            const int needs = fm.horizontalAdvance(combo->itemText(i));
            if (needs > has) return tooNarrow(combo->itemText(i), needs, has);
        }
    }
    return {};
}

// The cut-off texts of a window, each page of its tab widgets in turn.
QStringList ClippedTexts(QWidget* window, const QString& name) {
    QStringList found;
    const auto look = [&] {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window)) continue;
            const QString what = Clipped(w);
            if (!what.isEmpty())
                found << name + QStringLiteral(": ") +
                             (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                        : w->objectName()) +
                             QStringLiteral(" ") + what;
        }
    };
    look();
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown) continue;
            tabs->setCurrentIndex(i);
            look();
        }
        tabs->setCurrentIndex(shown);
    }
    found.removeDuplicates();
    return found;
}

class TextFitTest : public ShellTest,
                    public ::testing::WithParamInterface<std::string> {
protected:
    // The shipped language file in the program folder, chosen as the user's language.
    void chooseShipped(const std::string& file) {
        const QString name = QString::fromStdString(file);
        const QString shipped = QStringLiteral(RVK_SOURCE_DIR "/lang/") + name;
        QFile::remove(programFolder() + QLatin1Char('/') + name);
        ASSERT_TRUE(QFile::copy(shipped, programFolder() + QLatin1Char('/') + name));
        QSettings(QStringLiteral("DUR"), SettingsApplication())
            .setValue(QStringLiteral("LangFile"), name);
    }
};

TEST_P(TextFitTest, EveryWindowAndDialogShowsItsTextsWhole) {
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        GTEST_SKIP() << "the offscreen platform measures with a font of its own on Windows; "
                        "ctest runs this on the windows platform (desktop_text_fit)";
#endif
    chooseShipped(GetParam());
    // The vehicle window's preview and the fleet window's train with their texts too.
    SettingsStore settings;
    settings.setPreviewShown(true);
    settings.setTrainShown(true);
    auto main = startMain();
    ASSERT_TRUE(main->ready());
    // As the program creates them, after the main window took its language.
    auto* import = new TImportForm(*main, main.get(), [] { return std::vector<std::string>(); });
    auto* shift = new TMoveForm(main->texts(), main.get());
    auto* steam = new TSteamForm(main->texts(), main.get());

    main->OpenDocument(writeDocument(QStringLiteral("fit.rvk"), 1, 2));
    TFileForm* doc = main->documents().front();
    TFleetForm* fleet = openFleet(doc, 0);
    fleet->vehicleBox()->selectRow(0);
    ASSERT_TRUE(trigger(fleet->popupMenu(), "pEdit"));
    const QList<VehicleForm*> vehicles = main->toolPanel()->vehicleWindows();
    ASSERT_EQ(vehicles.size(), 1);
    VehicleForm* vehicle = vehicles.front();
    // With Zoom2 graphics derived, so the second scale tab shows too.
    prompts().answerMessage(MsgAnswer::Yes);
    vehicle->findChild<QCheckBox*>(QStringLiteral("cbZoom2"))->click();
    ASSERT_TRUE(vehicle->Record()->Zoom2Exists);
    // And a picture to trace, which shows its bar.
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    ASSERT_TRUE(picture.save(dataPath(QStringLiteral("fit.png"))));
    ASSERT_TRUE(vehicle->Trace()->Load({dataPath(QStringLiteral("fit.png"))}));

    QStringList clipped;
    clipped << ClippedTexts(main.get(), QStringLiteral("main window"));
    for (QDialog* dialog : std::initializer_list<QDialog*>{import, shift, steam}) {
        dialog->show();
        clipped << ClippedTexts(dialog, QString::fromLatin1(dialog->metaObject()->className()));
        dialog->hide();
    }
    for (const auto& [caption, prompt] : {std::pair{546, 547}, {550, 547}, {551, 552}}) {
        TInputDialog input(main.get(), main->text(caption), main->text(prompt), main->text(500),
                           main->text(521), 32);
        input.show();
        clipped << ClippedTexts(&input, QStringLiteral("name input %1").arg(caption));
    }
    EXPECT_TRUE(clipped.isEmpty()) << GetParam() << ":\n"
                                   << clipped.join(QLatin1Char('\n')).toStdString();
    doc->document().modified = false;
    endMain(main);
}

// Every language file the program ships.
std::vector<std::string> ShippedLanguageFiles() {
    std::vector<std::string> files;
    for (const QString& name :
         QDir(QStringLiteral(RVK_SOURCE_DIR "/lang")).entryList({QStringLiteral("*.lng")}))
        files.push_back(name.toStdString());
    return files;
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, TextFitTest,
                         ::testing::ValuesIn(ShippedLanguageFiles()),
                         [](const auto& param) {
                             return param.param.substr(0, param.param.find('.'));
                         });

// With the German file chosen, the toolkit's own buttons speak German too, and they go
// back to English with the English file.
TEST_F(TextFitTest, MessageBoxButtonsFollowTheLanguageFile) {
    const auto buttonsOfAMessage = [](TMainForm& main) {
        QStringList texts;
        // Looks until the box is up (on a desktop platform it may take a few turns, and
        // without a window manager it need not become the active window).
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                poll.stop();
                for (QAbstractButton* b : box->buttons()) texts << Plain(b->text());
                box->reject();
                return;
            }
        });
        poll.start(10);
        QtPrompts().message(&main, QStringLiteral("?"), QStringLiteral("?"), MsgIcon::Question,
                            MsgButtons::YesNoCancel);
        texts.sort();
        return texts;
    };
    if (!QFile::exists(ToolkitTranslationsFolder() + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "the toolkit's translations are not installed";
    chooseShipped("deutsch.lng");
    chooseShipped("rvk3b2.lng");
    auto main = startMain();
    EXPECT_EQ(buttonsOfAMessage(*main), QStringList({"Cancel", "No", "Yes"}));
    prompts().answerText(programFolder() + QStringLiteral("/deutsch.lng"));
    ASSERT_TRUE(trigger(menu(main.get(), "mOptions"), "iLanguage"));
    EXPECT_EQ(buttonsOfAMessage(*main), QStringList({"Abbrechen", "Ja", "Nein"}));
    prompts().answerText(programFolder() + QStringLiteral("/rvk3b2.lng"));
    ASSERT_TRUE(trigger(menu(main.get(), "mOptions"), "iLanguage"));
    EXPECT_EQ(buttonsOfAMessage(*main), QStringList({"Cancel", "No", "Yes"}));
    endMain(main);
}

}  // namespace
}  // namespace rvk
