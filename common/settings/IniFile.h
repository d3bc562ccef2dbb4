#pragma once

// An INI settings file (sections in square brackets, "Key=Value" lines), read and written with
// SimpleIni. Writing keeps every other section, key and comment of the file.

#include <QString>

#include <memory>

namespace qx {

class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Reads the file. UTF-8 text is taken as it is; a file that is not valid UTF-8 is read as
    // Windows-1250 (as older installations wrote it). False when the file is missing or
    // unreadable: the values are then empty and every read gives its default.
    bool load(const QString& path);

    bool has(const char* section, const char* key) const;
    QString text(const char* section, const char* key, const QString& def = {}) const;
    // A value that is not a decimal integer (blanks around it allowed) gives `def`.
    int integer(const char* section, const char* key, int def) const;

    // A text is stored on one line: line breaks become blanks. A text with blanks at either end,
    // or one that starts and ends with a double quote itself, is written in double quotes, which
    // the reader removes again.
    void setText(const char* section, const char* key, QString value);
    void setInteger(const char* section, const char* key, int value);

    // Writes the whole file in UTF-8, whole or not at all (the old file stays when the write
    // fails), creating its folder when missing. False with *error set when it cannot be written.
    bool save(const QString& path, QString* error = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace qx
