// Program entry: the main window, then the dialogs, then the message loop.
#include <QDir>
#include <exception>
#include <filesystem>

#include "app/application.h"
#include "app/main_form.h"
#include "editor/move_form.h"
#include "editor/steam_form.h"
#include "fleet/import_form.h"
#include "platform/file_names.h"
#include "storage/file_io.h"

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
#ifdef _WIN32
        const QString named = QCoreApplication::arguments().value(1);
#else
        // argv as it is: the toolkit's arguments lose the bytes that are no UTF-8.
        const QString named = argc > 1 ? rvk::QStringFromPath(argv[1]) : QString();
#endif
        // A relative path would not lead back to the file from the recent-file list.
        std::error_code ec;
        if (!named.isEmpty())
            mainForm.OpenDocument(QDir::toNativeSeparators(rvk::QStringFromPath(rvk::Utf8FromPath(
                std::filesystem::absolute(rvk::PathFromUtf8(rvk::PathFromQString(named)), ec)))));
        return QApplication::exec();
    } catch (const std::exception& e) {
        rvk::ShowException(e.what());
    } catch (...) {
        rvk::ShowException("");
    }
    return 1;
}
