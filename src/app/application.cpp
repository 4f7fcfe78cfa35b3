#include "app/application.h"

#include <exception>

#include "platform/prompts.h"

namespace rvk {

void ShowException(const char* what) {
    prompts().message(nullptr, QString::fromLocal8Bit(what), QApplication::applicationDisplayName(),
                      MsgIcon::Error, MsgButtons::Ok);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("");
    }
    return false;
}

}  // namespace rvk
