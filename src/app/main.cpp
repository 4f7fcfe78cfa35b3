// Program entry: the main window, then the dialogs, then the message loop.
#include <QDir>
#include <QFileInfo>
#include <exception>

#include "app/application.h"
#include "app/main_form.h"
#include "editor/move_form.h"
#include "editor/steam_form.h"
#include "fleet/import_form.h"

int main(int argc, char** argv) {
    rvk::Application app(argc, argv);
    try {
        rvk::TMainForm mainForm;
        if (!mainForm.ready()) return 1;
        // The dialogs are created after the main window, import first, then shift, then
        // steam points: they take their captions from the language it loaded. The fleet
        // and vehicle windows find them among the main window's children.
        new rvk::TImportForm(mainForm, &mainForm);
        new rvk::TMoveForm(mainForm.texts(), &mainForm);
        new rvk::TSteamForm(mainForm.texts(), &mainForm);
        mainForm.show();
        // Before the command-line document: the one kept of it is its newer state.
        mainForm.StartRecovery();
        const QStringList args = QCoreApplication::arguments();
        // A relative path would not lead back to the file from the recent-file list.
        if (args.size() > 1 && !args[1].isEmpty())
            mainForm.OpenDocument(QDir::toNativeSeparators(QFileInfo(args[1]).absoluteFilePath()));
        return QApplication::exec();
    } catch (const std::exception& e) {
        rvk::ShowException(e.what());
    } catch (...) {
        rvk::ShowException("");
    }
    return 1;
}
