#include "RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

RecentFiles::RecentFiles(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu) { fillMenu(); }

void RecentFiles::add(const QString& path)
{
    QStringList files = files_;
    files.prepend(QFileInfo(path).absoluteFilePath());
    setFiles(files);
}

void RecentFiles::setFiles(const QStringList& files)
{
    files_.clear();
    for (const QString& file : files)
        if (!file.isEmpty() && !files_.contains(file) && files_.size() < kKept)
            files_.append(file);
    fillMenu();
}

void RecentFiles::fillMenu()
{
    menu_->clear();
    for (const QString& file : files_)
        menu_->addAction(QFileInfo(file).fileName(), this, [this, file] { emit chosen(file); })
            ->setStatusTip(QDir::toNativeSeparators(file));
    menu_->setEnabled(!files_.isEmpty());
}
