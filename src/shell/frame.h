// What a child window may ask of the frame that holds it: the language texts and the
// messages worded in them, the settings it needs, saving and the recent list, and the
// child windows (the active one, adding, activating, a document window leaving).
// The main window implements it; the windows include this, never the main window.
#pragma once

#include <QSize>
#include <QString>
#include <QVariant>
#include <initializer_list>

#include "formats/lang_table.h"
#include "platform/prompts.h"
#include "storage/document_files.h"

class QMdiSubWindow;
class QWidget;

namespace rvk {

class TChildForm;

// A language text formatted printf-style; an int argument fills %i / %d, anything else
// is text.
QString FormatQText(const QString& format, std::initializer_list<QVariant> args);

class Frame {
public:
    // --- Texts and messages ---
    virtual LangTexts& texts() = 0;
    QString text(int number, bool removeAfterUse = false);
    // Language text number formatted with FormatQText.
    QString formatText(int number, std::initializer_list<QVariant> args);
    MsgAnswer message(QWidget* parent, const QString& text, int captionNumber, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok);
    // Shows a message of the core (text 555 and the like) as an error box, caption 544.
    void reportError(QWidget* parent, const Message& m);
    // Why a file could not be used, in the current language.
    QString reasonText(const Reason& reason);

    // --- Settings ---
    // Numbers the generated names of new documents, from 1 on in each program run.
    virtual int takeNewDocumentNumber() = 0;
    // Where single vehicle files were last imported from.
    virtual const QString& importFolder() const = 0;
    virtual void setImportFolder(const QString& folder) = 0;

    // --- Saving and the recent list ---
    // Saves the document the window belongs to, through Save As when it never was
    // saved. True when every file was written.
    virtual bool SaveDocumentOf(TChildForm* window) = 0;
    virtual void AddRecentFile(const QString& path) = 0;

    // --- Child windows ---
    virtual TChildForm* activeChild() const = 0;
    // Puts a child window into the frame, shows and activates it. The frame places it
    // inside the visible workspace at about `size`; while a child window is maximised,
    // the new one opens maximised too.
    virtual QMdiSubWindow* addChildWindow(TChildForm* form, QSize size) = 0;
    // Brings a child window of the frame to the front.
    virtual void activateChildWindow(TChildForm* form) = 0;
    // A closing document window leaves the frame's list.
    virtual void RemoveDocument(TChildForm* doc) = 0;

protected:
    ~Frame() = default;
};

}  // namespace rvk
