#include "DialogPresenter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

void DialogPresenter::present(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
    if (presented)
        presented(dialog);
}

void DialogPresenter::askToSave(QWidget* window, std::function<void(SaveAnswer)> done)
{
    auto* box = new QMessageBox(window);
    box->setIcon(QMessageBox::Critical);
    box->setWindowTitle(QStringLiteral("Game of Life"));
    box->setText(QStringLiteral("Do you want to save this pattern?"));
    box->setInformativeText(QStringLiteral("If you don't save this pattern, your pattern will get lost."));
    // One role for all three keeps them in this order.
    QPushButton* save = box->addButton(QStringLiteral("Save"), QMessageBox::ActionRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
    QPushButton* dontSave = box->addButton(QStringLiteral("Don't save"), QMessageBox::ActionRole);
    save->setObjectName(QStringLiteral("saveButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    dontSave->setObjectName(QStringLiteral("dontSaveButton"));
    box->setDefaultButton(save);
    box->setEscapeButton(cancel);  // Escape and closing the window keep the pattern
    connect(box, &QMessageBox::finished, this, [box, save, dontSave, done = std::move(done)] {
        QAbstractButton* clicked = box->clickedButton();
        SaveAnswer answer = SaveAnswer::Cancel;
        if (clicked == save)
            answer = SaveAnswer::Save;
        else if (clicked == dontSave)
            answer = SaveAnswer::DontSave;
        done(answer);
    });
    present(box);
}

QString DialogPresenter::withAllowedExtension(const QString& path, const QStringList& types)
{
    if (types.isEmpty())
        return path;
    const QString suffix = QFileInfo(path).suffix();
    for (const QString& type : types) {
        if (suffix.compare(type, Qt::CaseInsensitive) == 0)
            return path;
    }
    return path + QLatin1Char('.') + types.front();
}

void DialogPresenter::showFilePanel(QWidget* window, const FilePanel& panel,
                                    std::function<void(std::optional<QString>)> done)
{
    auto* dialog = new QFileDialog(window, panel.title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const bool save = panel.mode == FilePanel::Mode::Save;
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList patterns;
    for (const QString& type : panel.types + panel.alsoAccepted)
        patterns << QStringLiteral("*.") + type;
    dialog->setNameFilter(QStringLiteral("%1 (%2)").arg(panel.types.join(QStringLiteral(", ")).toUpper(),
                                                        patterns.join(QLatin1Char(' '))));
    if (save && !panel.types.isEmpty())
        dialog->setDefaultSuffix(panel.types.front());
    if (!panel.name.isEmpty())
        dialog->selectFile(panel.name);
    dialog->setLabelText(QFileDialog::Accept, panel.prompt);
    if (!panel.message.isEmpty()) {
        if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
            auto* message = new QLabel(panel.message, dialog);
            message->setObjectName(QStringLiteral("panelMessage"));
            grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    const QStringList types = panel.types;
    connect(dialog, &QFileDialog::finished, this, [dialog, save, types, done = std::move(done)](int result) {
        const QStringList chosen = dialog->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty()) {
            done(std::nullopt);
            return;
        }
        done(save ? withAllowedExtension(chosen.front(), types) : chosen.front());
    });
    present(dialog);
}

void DialogPresenter::tell(QWidget* window, const QString& text, const QString& details)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Game of Life"), text, QMessageBox::Ok, window);
    if (!details.isEmpty())
        box->setInformativeText(details);
    present(box);
}
