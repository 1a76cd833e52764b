#include "DialogPresenter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>

namespace {

// A save panel that asks before replacing a file under the name that will
// really be written: the chosen name with the panel's extension added when
// it has none of the allowed ones ("glider.v2" saves as
// "glider.v2.golpattern"). No replies to the question mean going back to
// the panel.
class SavePanel : public QFileDialog {
public:
    SavePanel(QWidget* parent, const QString& title, DialogPresenter& presenter, QStringList types)
        : QFileDialog(parent, title), presenter_(presenter), types_(std::move(types))
    {
        setOption(QFileDialog::DontConfirmOverwrite);  // asked here, about the name that is written
    }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (!confirmed_ && !chosen.isEmpty() && !QFileInfo(chosen.front()).isDir()) {
            const QFileInfo target(DialogPresenter::withAllowedExtension(
                chosen.front(), DialogPresenter::chosenTypeFirst(*this, types_)));
            if (target.exists() && !target.isDir()) {
                presenter_.askToReplace(this, target.fileName(), [this](bool replace) {
                    if (!replace)
                        return;  // back to the panel
                    // Once the question has gone: closing the panel takes it along.
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            confirmed_ = true;
                            accept();
                        },
                        Qt::QueuedConnection);
                });
                return;
            }
        }
        confirmed_ = false;
        QFileDialog::accept();
    }

private:
    DialogPresenter& presenter_;
    const QStringList types_;
    bool confirmed_ = false;
};

}  // namespace

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
    // The button's code, as the buttons are numbered; no button (the box
    // closed some other way) is Cancel.
    connect(box, &QMessageBox::finished, this, [box, done = std::move(done)] {
        const qsizetype pressed = box->buttons().indexOf(box->clickedButton());
        done(pressed < 0 ? SaveAnswer::Cancel
                         : static_cast<SaveAnswer>(static_cast<int>(SaveAnswer::Save) + static_cast<int>(pressed)));
    });
    present(box);
}

QString DialogPresenter::withAllowedExtension(const QString& path, const QStringList& types)
{
    if (types.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    for (const QString& type : types) {  // "rle.gz" as much as "rle"
        if (name.endsWith(QLatin1Char('.') + type, Qt::CaseInsensitive) && name.size() > type.size() + 1)
            return path;
    }
    return path + QLatin1Char('.') + types.front();
}

QStringList DialogPresenter::chosenTypeFirst(const QFileDialog& panel, QStringList types)
{
    const qsizetype chosen = panel.nameFilters().indexOf(panel.selectedNameFilter());
    if (panel.nameFilters().size() == types.size() && chosen > 0)
        types.move(chosen, 0);
    return types;
}

QString DialogPresenter::panelKind(const FilePanel& panel)
{
    return (panel.mode == FilePanel::Mode::Save ? QStringLiteral("save ") : QStringLiteral("open ")) +
           panel.types.join(QLatin1Char(' '));
}

void DialogPresenter::showFilePanel(QWidget* window, const FilePanel& panel,
                                    std::function<void(std::optional<QString>)> done)
{
    const bool save = panel.mode == FilePanel::Mode::Save;
    auto* dialog = save ? new SavePanel(window, panel.title, *this, panel.types) : new QFileDialog(window, panel.title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const bool typeChosen = save && !panel.typeNames.isEmpty() && panel.typeNames.size() == panel.types.size();
    if (typeChosen) {
        // One choice per type; the extension added follows the choice, so
        // there is no one default suffix.
        QStringList filters;
        for (qsizetype i = 0; i < panel.types.size(); ++i)
            filters << QStringLiteral("%1 (*.%2)").arg(panel.typeNames[i], panel.types[i]);
        dialog->setNameFilters(filters);
    } else {
        QStringList patterns;
        for (const QString& type : panel.types + panel.alsoAccepted)
            patterns << QStringLiteral("*.") + type;
        dialog->setNameFilter(QStringLiteral("%1 (%2)").arg(panel.types.join(QStringLiteral(", ")).toUpper(),
                                                            patterns.join(QLatin1Char(' '))));
        if (save && !panel.types.isEmpty())
            dialog->setDefaultSuffix(panel.types.front());
    }
    const QString kind = panelKind(panel);
    if (const QString folder = lastFolders.value(kind); !folder.isEmpty() && QFileInfo(folder).isDir())
        dialog->setDirectory(folder);
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
    connect(dialog, &QFileDialog::finished, this, [this, dialog, save, types, kind, done = std::move(done)](int result) {
        const QStringList chosen = dialog->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty()) {
            done(std::nullopt);
            return;
        }
        lastFolders.insert(kind, QFileInfo(chosen.front()).absolutePath());
        done(save ? withAllowedExtension(chosen.front(), chosenTypeFirst(*dialog, types)) : chosen.front());
    });
    present(dialog);
}

void DialogPresenter::tell(QWidget* window, const QString& text, const QString& details,
                           std::function<void()> closed)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Game of Life"), text, QMessageBox::Ok, window);
    if (!details.isEmpty())
        box->setInformativeText(details);
    if (closed)
        connect(box, &QMessageBox::finished, this, std::move(closed));
    present(box);
}

void DialogPresenter::ask(QWidget* window, const QString& text, std::function<void(bool)> done)
{
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Game of Life"), text,
                                QMessageBox::Yes | QMessageBox::No, window);
    box->setDefaultButton(QMessageBox::Yes);
    connect(box, &QMessageBox::finished, this,
            [done = std::move(done)](int result) { done(result == QMessageBox::Yes); });
    present(box);
}

void DialogPresenter::askForNumber(QWidget* window, const QString& title, const QString& label, int value, int least,
                                   int most, std::function<void(std::optional<int>)> done)
{
    auto* box = new QInputDialog(window);
    box->setWindowTitle(title);
    box->setLabelText(label);
    box->setInputMode(QInputDialog::IntInput);
    box->setIntRange(least, most);
    box->setIntValue(value);
    connect(box, &QDialog::finished, this, [box, done = std::move(done)](int result) {
        done(result == QDialog::Accepted ? std::optional<int>(box->intValue()) : std::nullopt);
    });
    present(box);
}

void DialogPresenter::note(QWidget* window, const QString& text)
{
    if (auto* main = qobject_cast<QMainWindow*>(window))
        main->statusBar()->showMessage(text);
}

void DialogPresenter::askToReplace(QWidget* parent, const QString& fileName, std::function<void(bool)> done)
{
    auto* box = new QMessageBox(QMessageBox::Warning, parent->windowTitle(),
                                QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(fileName),
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::No);
    box->button(QMessageBox::Yes)->setObjectName(QStringLiteral("replaceButton"));
    box->button(QMessageBox::No)->setObjectName(QStringLiteral("keepButton"));
    connect(box, &QMessageBox::finished, this,
            [box, done = std::move(done)] { done(box->clickedButton() == box->button(QMessageBox::Yes)); });
    present(box);
}

QProgressDialog* DialogPresenter::showProgress(QWidget* window, const QString& label, std::function<void()> cancelled)
{
    auto* progress = new QProgressDialog(label, QStringLiteral("Cancel"), 0, 0, window);
    progress->setWindowTitle(QStringLiteral("Game of Life"));
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    connect(progress, &QProgressDialog::canceled, this, std::move(cancelled));
    present(progress);
    return progress;
}
