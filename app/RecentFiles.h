#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

// File ▸ Open Recent: the last ten pattern and image files opened, the
// latest first, each once.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kKept = 10;
    explicit RecentFiles(QMenu* menu, QObject* parent = nullptr);

    void add(const QString& path);
    void setFiles(const QStringList& files);
    QStringList files() const { return files_; }

signals:
    void chosen(const QString& path);

private:
    void fillMenu();

    QMenu* menu_;
    QStringList files_;
};
