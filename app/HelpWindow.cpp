#include "HelpWindow.h"

#include <QDialog>
#include <QMainWindow>
#include <QVBoxLayout>

QDialog* HelpWindow::show(QMainWindow* window, const QString& name, const QString& title, QSize size,
                          const std::function<QWidget*(QDialog*)>& content)
{
    auto* dialog = window->findChild<QDialog*>(name, Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QDialog(window);
        dialog->setObjectName(name);
        dialog->setWindowTitle(title);
        auto* layout = new QVBoxLayout(dialog);
        layout->addWidget(content(dialog));
        dialog->resize(size);
    }
    dialog->show();
    dialog->raise();
    return dialog;
}
