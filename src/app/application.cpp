#include "app/application.h"

#include <QPainter>
#include <QPixmap>
#include <exception>

#include "platform/prompts.h"
#include "storage/document_files.h"

namespace rvk {

QIcon AppIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 20, 20), 1.5));
    p.setBrush(QColor(200, 40, 40));
    p.drawRoundedRect(QRectF(2.5, 8.5, 27, 15), 3, 3);  // body
    p.setBrush(QColor(230, 230, 200));
    for (int x = 6; x < 28; x += 7) p.drawRect(QRectF(x, 11.5, 4, 5));  // windows
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.drawLine(QPointF(16, 8.5), QPointF(16, 3));  // pantograph
    p.drawLine(QPointF(10, 3), QPointF(22, 3));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(8, 25), 2.5, 2.5);  // wheels
    p.drawEllipse(QPointF(24, 25), 2.5, 2.5);
    return QIcon(pixmap);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setWindowIcon(AppIcon());
}

void ShowException(const char* what) {
    prompts().message(nullptr, QString::fromLocal8Bit(what),
                      QString::fromLatin1(kTitleText.data(), kTitleText.size()), MsgIcon::Error,
                      MsgButtons::Ok);
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
