// The application object: shows an exception escaping an event handler in an error box
// and carries on, instead of ending the program.
#pragma once

#include <QApplication>
#include <QIcon>

namespace rvk {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's icon: a small tram, painted so that no image file is needed.
QIcon AppIcon();

// Shows the message of an exception (empty for one without a message).
void ShowException(const char* what);

}  // namespace rvk
