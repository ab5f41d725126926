#include "app/SerialPortList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSet>

#include <sys/stat.h>

namespace {

bool isNamed(const TSerialDevice& d, const QString& name)
{
    return name == d.path || (!d.byId.isEmpty() && name == d.byId) || d.aliases.contains(name);
}

// k of /dev/ttySk among the device's names, -1 when it is not an on-board port.
int onboardIndex(const TSerialDevice& d)
{
    static const QRegularExpression re(QStringLiteral("^/dev/ttyS([0-9]{1,3})$"));
    QStringList names = d.aliases;
    names.prepend(d.path);
    for (const QString& n : names) {
        const QRegularExpressionMatch m = re.match(n);
        if (m.hasMatch())
            return m.captured(1).toInt();
    }
    return -1;
}

bool isCharDevice(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

// The kernel registers more 8250 ports than there are UARTs; the phantoms
// report type 0 (unknown) in sysfs.
bool isPhantomOnboard(const QString& path)
{
    static const QRegularExpression re(QStringLiteral("^/dev/(ttyS[0-9]+)$"));
    const QRegularExpressionMatch m = re.match(path);
    if (!m.hasMatch())
        return false;
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(m.captured(1)));
    if (!type.open(QIODevice::ReadOnly))
        return false;
    return type.readAll().trimmed() == "0";
}

// Resolved device path -> its /dev/serial/by-id link.
QMap<QString, QString> byIdLinks()
{
    QMap<QString, QString> links;
    const QDir dir(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& fi : dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString target = fi.canonicalFilePath();
        if (!target.isEmpty() && !links.contains(target))
            links.insert(target, fi.absoluteFilePath());
    }
    return links;
}

} // namespace

QString TComEntry::text() const
{
    QString t = QStringLiteral("COM%1: %2").arg(number).arg(device);
    if (!description.isEmpty())
        t += QStringLiteral(" (%1)").arg(description);
    return t;
}

QStringList TPortAssignment::texts() const
{
    QStringList out;
    for (const TComEntry& e : entries)
        out << e.text();
    return out;
}

TPortAssignment AssignComNumbers(const QVector<TSerialDevice>& found, const TComPortMap& ports)
{
    TPortAssignment result;
    result.ports = ports;
    QVector<int> number(found.size(), 0);
    QSet<int> used;

    // A device named in [Ports] keeps the number of its key.
    for (int i = 0; i < found.size(); ++i) {
        for (auto it = ports.cbegin(); it != ports.cend(); ++it) {
            if (it.key() >= 1 && !used.contains(it.key()) && isNamed(found[i], it.value().trimmed())) {
                number[i] = it.key();
                used.insert(it.key());
                break;
            }
        }
    }
    // A number is free when no device holds it and no mapping claims it,
    // so an absent adapter's number waits for it to come back.
    const auto isFree = [&](int n) { return n >= 1 && n <= MaxComPortNumber && !used.contains(n) && !ports.contains(n); };

    for (int i = 0; i < found.size(); ++i) {
        if (number[i] != 0)
            continue;
        const int k = onboardIndex(found[i]);
        if (k >= 0 && isFree(k + 1)) {
            number[i] = k + 1;
            used.insert(k + 1);
        }
    }
    int next = 1;
    for (int i = 0; i < found.size(); ++i) {
        if (number[i] != 0)
            continue;
        while (next <= MaxComPortNumber && !isFree(next))
            ++next;
        if (next > MaxComPortNumber)
            break; // no number left: the device is not offered
        number[i] = next;
        used.insert(next);
        result.ports.insert(next, found[i].byId.isEmpty() ? found[i].path : found[i].byId);
        result.mapChanged = true;
    }

    for (int i = 0; i < found.size(); ++i)
        if (number[i] != 0)
            result.entries.append(TComEntry{number[i], found[i].path, found[i].description});
    std::sort(result.entries.begin(), result.entries.end(),
              [](const TComEntry& a, const TComEntry& b) { return a.number < b.number; });
    return result;
}

QVector<TSerialDevice> FindSerialDevices(const TComPortMap& ports)
{
    QVector<TSerialDevice> found;
    const QMap<QString, QString> links = byIdLinks();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (isPhantomOnboard(path))
            continue;
        TSerialDevice d;
        d.path = path;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty() && canonical != path)
            d.aliases << canonical;
        d.byId = links.value(canonical.isEmpty() ? path : canonical);
        d.description = info.description().isEmpty() ? info.manufacturer() : info.description();
        found.append(d);
    }
    // Devices named in [Ports] that exist: a simulator's pty, or a link the
    // user wrote for a device the system list already holds.
    for (auto it = ports.cbegin(); it != ports.cend(); ++it) {
        const QString name = it.value().trimmed();
        if (name.isEmpty() || !isCharDevice(name))
            continue;
        const QString canonical = QFileInfo(name).canonicalFilePath();
        bool known = false;
        for (TSerialDevice& d : found) {
            if (isNamed(d, name) || (!canonical.isEmpty() && isNamed(d, canonical))) {
                if (!isNamed(d, name))
                    d.aliases << name;
                known = true;
                break;
            }
        }
        if (known)
            continue;
        TSerialDevice d;
        d.path = name;
        if (!canonical.isEmpty() && canonical != name)
            d.aliases << canonical;
        if (canonical.startsWith(QStringLiteral("/dev/pts/")))
            d.description = QStringLiteral("псевдотерминал");
        found.append(d);
    }
    return found;
}

void ListSerialPorts(QStringList& list, TComPortMap& ports, const QVector<TSerialDevice>& found)
{
    list.clear();
    const TPortAssignment a = AssignComNumbers(found, ports);
    list = a.texts();
    ports = a.ports;
}

void ListSerialPorts(QStringList& list, TComPortMap& ports)
{
    ListSerialPorts(list, ports, FindSerialDevices(ports));
}

int PortNumberOf(const QString& text, bool* ok)
{
    if (ok)
        *ok = false;
    if (text.isEmpty())
        return 0;
    bool converted = false;
    int n = 0;
    const int colon = text.indexOf(':');
    if (colon >= 0)
        n = text.mid(3, colon - 3).trimmed().toInt(&converted);
    if (!converted)
        n = text.mid(3).trimmed().toInt(&converted);
    if (!converted)
        return 0;
    if (ok)
        *ok = true;
    return n;
}
