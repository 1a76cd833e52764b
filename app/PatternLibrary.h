#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <span>

class QMenu;

// The classic patterns shipped with the application (RLE files among its
// resources), grouped as Life people know them, and the Patterns menu that
// offers them. Choosing one pastes it.
class PatternLibrary : public QObject {
    Q_OBJECT
public:
    struct Entry {
        const char* group;
        const char* name;
        const char* file;  // in the resources' "patterns" folder
    };
    static std::span<const Entry> entries();
    // The pattern's RLE text.
    static QString text(const Entry& entry);

    // Fills `menu`, a submenu for each group; `chosen` gets the entry picked.
    static void fill(QMenu* menu, const std::function<void(const Entry&)>& chosen);
};
