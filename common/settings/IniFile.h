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

    enum class LoadResult {
        Loaded,     // the file was read
        Missing,    // there is no such file: every read gives its default, save() creates it
        Unreadable, // the file is there but cannot be read (no right to read it, a folder, not a
                    // text): every read gives its default, and save() leaves the file alone
    };
    // Reads the file. UTF-8 text is taken as it is (with or without a byte-order mark); UTF-16
    // with a byte-order mark (as Windows' Notepad saves "Unicode") is read as such; a file that
    // is not valid UTF-8 is read as Windows-1250 (as older installations wrote it). For an
    // unreadable file *error gets the operator's message: «Soubor nastavení „path“ nelze
    // přečíst: reason.»
    LoadResult load(const QString& path, QString* error = nullptr);

    bool has(const char* section, const char* key) const;
    QString text(const char* section, const char* key, const QString& def = {}) const;
    // A value that is not a decimal integer (blanks around it allowed) gives `def`.
    int integer(const char* section, const char* key, int def) const;

    // A text is stored on one line: line breaks become blanks. A text with blanks at either end,
    // or one that starts and ends with a double quote itself, is written in double quotes, which
    // the reader removes again.
    void setText(const char* section, const char* key, QString value);
    void setInteger(const char* section, const char* key, int value);

    // Writes the whole file, whole or not at all (the old file stays when the write fails),
    // creating its folder when missing, in the encoding it was read in (UTF-8 for a new file or
    // one read as Windows-1250). A file whose last load found it unreadable is never written
    // over: its comments, sections and values would be lost. False with *error set when the file
    // was not written.
    bool save(const QString& path, QString* error = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace qx
