#include "shell/child_form.h"

#include <QMdiSubWindow>
#include <QMenu>

namespace rvk {

TChildForm::TChildForm(int kindTag, QWidget* parent)
    : QWidget(parent), kindTag_(kindTag), editMenu_(new QMenu(this)) {
    editMenu_->setObjectName(QStringLiteral("mEdit"));
}

bool TChildForm::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) return sub->close();
    return close();
}

}  // namespace rvk
