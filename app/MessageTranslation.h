#pragma once

#include <QString>

#include <string>

// The messages the engine and the file formats compose in English (they
// have no Qt translation of their own), put into the session's language
// where they are shown: each is matched against a table of the texts they
// are made of, and the parts a text fills in are translated in turn. A
// message the table does not know is shown as it is.
class MessageTranslation {
public:
    static QString translated(const QString& message);
    static QString translated(const std::string& message) { return translated(QString::fromStdString(message)); }
};
