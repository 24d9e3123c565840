#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// Reader of a per-article configuration file (INI syntax: "[Section]" lines and "Key=Value" lines).
//
// Section and key names are matched without regard to letter case; the first matching key counts. A value
// is what follows "=" on its line, at most 1279 characters, read in the Windows-1252 code page (UTF-8 when
// the file starts with a UTF-8 byte order mark). Every read goes to the file again, so a change takes effect
// at the next read, unless KeepContent was called; a missing file, section or key reads as the empty text.
//
// Value syntax: runs from "*" to the next "*" (or the end) are comments and dropped, then trailing blanks,
// then one trailing comma; a value that still holds a comma is a list, split at every comma without
// trimming the elements.
class IniFileClass {
public:
    void SetIniPath(const QString& path) {
        path_ = path;
        content_.reset();
    }
    // Reads the file now and answers every later read from what it held (one operation reading several keys);
    // a new path is read again.
    void KeepContent();
    const QString& IniPath() const { return path_; }

    // The value: a QString, or a QStringList when it holds a comma.
    QVariant GetFunctionParameterValue(const QString& section, const QString& key) const;
    // The value before it is split into a list (comments, trailing blanks and a trailing comma removed).
    QString GetParameterText(const QString& section, const QString& key) const;
    // Key "Funktionen" of the section, always as a list (see GetTestParamsArray).
    QStringList GetTestFunctions(const QString& section) const;
    // The value always as a list: split at commas, or else 1001 texts whose first is the value.
    QStringList GetTestParamsArray(const QString& section, const QString& key) const;
    // The value of the key with the empty name ("=..." line) of the section.
    QVariant GetParameterListOfFunktions(const QString& section) const;
    // Numeric value of [ModulEigenschaften] ProduktionsCodes (0 when missing or not numeric).
    qint16 GetNumberOfProdcodes() const;
    // [INI] Version; tells the worker when it is empty.
    QString GetIniVersion() const;

    // The raw value as the profile reader returns it: the text after "=", at most 1279 characters.
    QString ReadProfileString(const QString& section, const QString& key) const;

private:
    QString Content() const;

    QString path_;
    std::optional<QString> content_;
};
