#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QVector>

// An INI file with the behaviour of Windows profile files, which the settings,
// colour-scheme and indicator-style files rely on:
//  - section and key names match without regard to case, the first match wins;
//  - writing a known key replaces its value where it stands; a new key goes
//    after the last key of its section, a new section at the end of the file;
//  - every other line (comments, foreign keys and sections) is kept in order;
//  - integers are read in decimal, or in hexadecimal after "0x";
//  - the file is Windows-1251, written with CR LF, read with CR LF or LF.
// Changes live in memory until save(), which replaces the file atomically.
class TIniFile {
public:
    explicit TIniFile(const QString& fileName);
    virtual ~TIniFile() = default;

    const QString& fileName() const { return m_fileName; }
    // Points the object at another file without reading it (load() does).
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    // False when the file exists but cannot be read; a missing file is an empty one.
    // Never blocks: a pipe, device, socket or folder is refused, not opened for reading.
    bool load(QString* error = nullptr);
    // The same, and also refuses a file over `maxBytes` or one that is not
    // text (NUL or other control bytes), for files a person may have mixed up.
    bool loadText(qint64 maxBytes, QString* error = nullptr);
    // Refuses only what is not a regular file and what is over `maxBytes`.
    bool loadAtMost(qint64 maxBytes, QString* error = nullptr);
    bool existsOnDisk() const;

    QString readString(const QString& section, const QString& key, const QString& def = QString()) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool readBool(const QString& section, const QString& key, bool def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList sectionKeys(const QString& section) const; // in file order
    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

    // Writes a temporary file beside the target and renames it over the
    // target, so a failure never leaves a truncated file behind.
    bool save(QString* error = nullptr);

    // Parses text as read from a file (exposed for tests and in-memory use).
    void setContent(const QByteArray& bytes);
    QByteArray content() const;

protected:
    // The one place bytes reach the disk; tests override it to inject failures.
    virtual bool writeContent(QIODevice& out, const QByteArray& bytes);

private:
    struct Line {
        QString key;   // empty for lines that are not key=value
        QString value;
        QString raw;   // the line as read, for lines that are not key=value
    };
    struct Section {
        QString name;  // empty for the lines before the first section
        QVector<Line> lines;
    };

    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    const Line* findKey(const Section& s, const QString& key) const;
    bool loadLimited(qint64 maxBytes, bool textOnly, QString* error);

    QString m_fileName;
    QVector<Section> m_sections; // m_sections[0] is the nameless preamble
};

// Why `bytes` cannot be a profile file (empty when they can): NUL or control bytes.
QString NotTextReason(const QByteArray& bytes);

// Strict integer parse shared by the readers: decimal with optional sign, or 0x hex.
bool parseProfileInt(const QString& text, int* value);
