#include "common/IniFile.h"

#include "common/Cp1251.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Profile files drop one pair of matching quotes around a value.
QString unquote(QString v)
{
    if (v.size() >= 2 && ((v.startsWith('"') && v.endsWith('"')) || (v.startsWith('\'') && v.endsWith('\''))))
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

bool parseProfileInt(const QString& text, int* value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith("0x", Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < -2147483648LL || v > 0xFFFFFFFFLL)
        return false;
    *value = int(quint32(v)); // 0xFFFFFFFF reads as -1, as a 32-bit profile value does
    return true;
}

TIniFile::TIniFile(const QString& fileName)
    : m_fileName(fileName)
{
    m_sections.append(Section{});
    load();
}

bool TIniFile::existsOnDisk() const
{
    return QFileInfo::exists(m_fileName);
}

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

#ifdef Q_OS_UNIX
QString kindOfNonFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("это папка, а не файл");
    if (S_ISFIFO(mode))
        return QStringLiteral("это именованный канал, а не файл");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("это устройство, а не файл");
    if (S_ISSOCK(mode))
        return QStringLiteral("это сокет, а не файл");
    return QStringLiteral("это не обычный файл");
}
#endif

} // namespace

QString NotTextReason(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            return QStringLiteral("файл содержит нулевые байты, это не текст");
        // Tab, line ends, form feed and the DOS end-of-file mark occur in text files.
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != '\v' && b != 0x1A)
            return QStringLiteral("файл содержит управляющие байты, это не текст");
    }
    return {};
}

bool TIniFile::load(QString* error)
{
    return loadLimited(-1, false, error);
}

bool TIniFile::loadText(qint64 maxBytes, QString* error)
{
    return loadLimited(maxBytes, true, error);
}

bool TIniFile::loadAtMost(qint64 maxBytes, QString* error)
{
    return loadLimited(maxBytes, false, error);
}

bool TIniFile::loadLimited(qint64 maxBytes, bool textOnly, QString* error)
{
    m_sections.clear();
    m_sections.append(Section{});
    QFile f;
#ifdef Q_OS_UNIX
    // O_NONBLOCK: opening a pipe without a writer, or a serial device, must not
    // wait; fstat on the open descriptor then decides, with no race against a
    // file swapped in between.
    const int fd = ::open(QFile::encodeName(m_fileName).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        if (errno == ENXIO) { // a socket
            setError(error, QStringLiteral("это сокет, а не файл"));
            return false;
        }
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        setError(error, kindOfNonFile(st.st_mode));
        ::close(fd);
        return false;
    }
    const qint64 size = st.st_size;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        setError(error, f.errorString());
        return false;
    }
#else
    const QFileInfo info(m_fileName);
    if (!info.exists())
        return true;
    if (!info.isFile()) {
        setError(error, QStringLiteral("это не обычный файл"));
        return false;
    }
    const qint64 size = info.size();
    f.setFileName(m_fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        setError(error, f.errorString());
        return false;
    }
#endif
    if (maxBytes >= 0 && size > maxBytes) {
        setError(error, QStringLiteral("файл слишком велик (%1 байт, допустимо не более %2)").arg(size).arg(maxBytes));
        return false;
    }
    // A buffer of the file's size, not of the limit's: a megabyte taken and
    // given back for every small file also raises malloc's mmap threshold,
    // and the heap keeps what comes after. A file that grows while it is read
    // stops at the limit all the same.
    QByteArray bytes;
    if (maxBytes >= 0) {
        bytes = f.read(size + 1);
        if (bytes.size() > size)
            bytes += f.read(maxBytes + 1 - bytes.size());
    } else {
        bytes = f.readAll();
    }
    if (maxBytes >= 0 && bytes.size() > maxBytes) {
        setError(error, QStringLiteral("файл слишком велик (допустимо не более %1 байт)").arg(maxBytes));
        return false;
    }
    if (textOnly) {
        const QString why = NotTextReason(bytes);
        if (!why.isEmpty()) {
            setError(error, why);
            return false;
        }
    }
    setContent(bytes);
    return true;
}

void TIniFile::setContent(const QByteArray& bytes)
{
    m_sections.clear();
    m_sections.append(Section{});
    const QString text = fromCp1251(bytes);
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break; // the final line break does not start another line
        const QString t = line.trimmed();
        if (t.startsWith('[')) {
            const int close = t.indexOf(']');
            if (close > 0) {
                m_sections.append(Section{t.mid(1, close - 1).trimmed(), {}});
                continue;
            }
        }
        Line l;
        const int eq = line.indexOf('=');
        if (eq > 0 && !t.startsWith(';') && !line.left(eq).trimmed().isEmpty()) {
            l.key = line.left(eq).trimmed();
            l.value = line.mid(eq + 1).trimmed();
        } else {
            l.raw = line;
        }
        m_sections.last().lines.append(l);
    }
}

QByteArray TIniFile::content() const
{
    QString out;
    for (int i = 0; i < m_sections.size(); ++i) {
        const Section& s = m_sections[i];
        if (i > 0)
            out += '[' + s.name + "]\r\n";
        for (const Line& l : s.lines)
            out += (l.key.isEmpty() ? l.raw : l.key + '=' + l.value) + "\r\n";
    }
    return toCp1251(out);
}

const TIniFile::Section* TIniFile::findSection(const QString& name) const
{
    for (int i = 1; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, name))
            return &m_sections[i];
    return nullptr;
}

TIniFile::Section* TIniFile::findSection(const QString& name)
{
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

const TIniFile::Line* TIniFile::findKey(const Section& s, const QString& key) const
{
    for (const Line& l : s.lines)
        if (!l.key.isEmpty() && sameName(l.key, key))
            return &l;
    return nullptr;
}

QString TIniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const Section* s = findSection(section);
    if (!s)
        return def;
    const Line* l = findKey(*s, key);
    return l ? unquote(l->value) : def;
}

int TIniFile::readInteger(const QString& section, const QString& key, int def) const
{
    const QString v = readString(section, key, QString());
    int result = def;
    if (v.isEmpty() || !parseProfileInt(v, &result))
        return def;
    return result;
}

bool TIniFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Section* s = findSection(section);
    if (!s) {
        // Keep a blank line between sections, as hand-written files have.
        Section& last = m_sections.last();
        if (m_sections.size() > 1 || !last.lines.isEmpty()) {
            if (last.lines.isEmpty() || !last.lines.last().key.isEmpty() || !last.lines.last().raw.trimmed().isEmpty())
                last.lines.append(Line{});
        }
        m_sections.append(Section{section, {}});
        s = &m_sections.last();
    }
    for (Line& l : s->lines) {
        if (!l.key.isEmpty() && sameName(l.key, key)) {
            l.value = value;
            return;
        }
    }
    int pos = 0;
    for (int i = 0; i < s->lines.size(); ++i)
        if (!s->lines[i].key.isEmpty() || !s->lines[i].raw.trimmed().isEmpty())
            pos = i + 1;
    s->lines.insert(pos, Line{key, value, {}});
}

void TIniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void TIniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

bool TIniFile::sectionExists(const QString& section) const
{
    return findSection(section) != nullptr;
}

bool TIniFile::valueExists(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    return s && findKey(*s, key);
}

QStringList TIniFile::sections() const
{
    QStringList out;
    for (int i = 1; i < m_sections.size(); ++i)
        out << m_sections[i].name;
    return out;
}

QStringList TIniFile::sectionKeys(const QString& section) const
{
    QStringList out;
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.isEmpty())
                out << l.key;
    return out;
}

void TIniFile::eraseSection(const QString& section)
{
    for (int i = 1; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, section)) {
            m_sections.remove(i);
            return;
        }
}

void TIniFile::deleteKey(const QString& section, const QString& key)
{
    if (Section* s = findSection(section))
        for (int i = 0; i < s->lines.size(); ++i)
            if (!s->lines[i].key.isEmpty() && sameName(s->lines[i].key, key)) {
                s->lines.remove(i);
                return;
            }
}

bool TIniFile::writeContent(QIODevice& out, const QByteArray& bytes)
{
    return out.write(bytes) == bytes.size();
}

bool TIniFile::save(QString* error)
{
    QSaveFile f(m_fileName);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    if (!writeContent(f, content())) {
        if (error)
            *error = f.errorString().isEmpty() ? QStringLiteral("write failed") : f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}
