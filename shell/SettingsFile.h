#pragma once

#include <QList>
#include <QString>

// One settings file (velkor.ini) as read: "[Section]" lines, "Key = Value" lines, blank lines and comments
// (";" or "#" at the start of a line). Sections and keys compare without regard to case; a value keeps its
// text, without the blanks around it and without one pair of double quotes around it.
//
// A file that cannot be read, or that holds a line of none of these kinds, is not used at all: its problem
// names the file and the line, and the settings come from the other files and the defaults.
struct SettingsEntry {
    QString section;
    QString key;
    QString value;
    int line = 0;
};

struct SettingsFile {
    QString path;
    bool exists = false;
    // Empty when the file is usable (or absent); otherwise what is wrong with it, in German, naming the file
    // and, where there is one, the line.
    QString problem;
    QList<SettingsEntry> entries;

    bool Usable() const { return exists && problem.isEmpty(); }
};

// Reads the file at path; an absent file is no problem.
SettingsFile ReadSettingsFile(const QString& path);

// The same for a text already read (path only names it in a problem).
SettingsFile ParseSettingsText(const QString& path, const QString& text);
