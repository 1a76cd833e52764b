#include "AppSettings.h"

#include "DialogPresenter.h"
#include "RecentFiles.h"
#include "VandrelGameOfLifeView.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QSettings>

#include <limits>
#include <optional>

namespace {

const QString kGeometry = QStringLiteral("window/geometry");
const QString kSpeed = QStringLiteral("run/speed");
const QString kIterations = QStringLiteral("run/generations");
const QString kPasteMode = QStringLiteral("edit/pasteMode");
const QString kRecent = QStringLiteral("files/recent");
const QString kFolders = QStringLiteral("files/folders");

// The value at `key` when it is a whole number from `least` to `most`.
std::optional<int> number(const QSettings& settings, const QString& key, int least, int most)
{
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && value >= least && value <= most ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

AppSettings::AppSettings(const QString& file, Controls controls, QObject* parent)
    : QObject(parent), file_(file), controls_(controls)
{
    controls_.window->installEventFilter(this);
    const QSettings settings(file_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return;  // every default
    if (const QByteArray geometry = settings.value(kGeometry).toByteArray(); !geometry.isEmpty())
        controls_.window->restoreGeometry(geometry);
    if (const auto speed = number(settings, kSpeed, 0, controls_.speed->count() - 1))
        controls_.speed->setCurrentIndex(*speed);
    if (const auto count = number(settings, kIterations, 0, std::numeric_limits<std::int32_t>::max())) {
        controls_.view->setIterations(*count);
        controls_.iterations->setText(QString::number(*count));
    }
    if (const auto mode = number(settings, kPasteMode, 0, 2))
        controls_.pasteModes[*mode]->trigger();
    controls_.recent->setFiles(settings.value(kRecent).toStringList());
    const QVariantMap folders = settings.value(kFolders).toMap();
    for (auto folder = folders.begin(); folder != folders.end(); ++folder)
        if (folder.value().typeId() == QMetaType::QString)
            controls_.dialogs->lastFolders.insert(folder.key(), folder.value().toString());
}

void AppSettings::save() const
{
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(kGeometry, controls_.window->saveGeometry());
    settings.setValue(kSpeed, controls_.speed->currentIndex());
    settings.setValue(kIterations, controls_.view->iterations());
    settings.setValue(kPasteMode, int(controls_.view->pasteMode()));
    settings.setValue(kRecent, controls_.recent->files());
    QVariantMap folders;
    for (auto folder = controls_.dialogs->lastFolders.begin(); folder != controls_.dialogs->lastFolders.end(); ++folder)
        folders.insert(folder.key(), folder.value());
    settings.setValue(kFolders, folders);
}

bool AppSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == controls_.window && event->type() == QEvent::Hide)
        save();
    return QObject::eventFilter(watched, event);
}
