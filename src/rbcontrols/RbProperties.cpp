#include "RbProperties.h"

TRbPropertyTable::TRbPropertyTable(const TRbPropertyTable* base)
{
    if (base)
        m_props = base->m_props;
}

const TRbPropInfo* TRbPropertyTable::Find(const QString& name) const
{
    for (const TRbPropInfo& p : m_props)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

TRbPropertyTable& TRbPropertyTable::Add(TRbPropInfo info)
{
    // A derived class may redeclare a base property (to change its setter);
    // it keeps the base's place in the order.
    for (TRbPropInfo& p : m_props)
        if (p.Name.compare(info.Name, Qt::CaseInsensitive) == 0) {
            p = std::move(info);
            return *this;
        }
    m_props.push_back(std::move(info));
    return *this;
}

bool TRbPersistent::Assign(const TRbPersistent& source, QString* error)
{
    if (error)
        *error = QStringLiteral("Cannot assign a %1 to a %2.").arg(source.ClassName(), ClassName());
    return false;
}

QString RbEnumName(const TRbPropInfo& p, int ordinal)
{
    return ordinal >= 0 && ordinal < p.Members.size() ? p.Members[ordinal] : QString();
}

bool RbEnumValue(const TRbPropInfo& p, const QString& name, int* ordinal)
{
    for (int i = 0; i < p.Members.size(); ++i)
        if (p.Members[i].compare(name, Qt::CaseInsensitive) == 0) {
            *ordinal = i;
            return true;
        }
    return false;
}

QString RbSetToString(const TRbPropInfo& p, int bits)
{
    QStringList on;
    for (int i = 0; i < p.Members.size() && i < 31; ++i)
        if (bits & (1 << i))
            on << p.Members[i];
    return on.join(QLatin1Char(','));
}

bool RbStringToSet(const TRbPropInfo& p, const QString& text, int* bits, QString* badName)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('[')))
        t.remove(0, 1);
    if (t.endsWith(QLatin1Char(']')))
        t.chop(1);
    int result = 0;
    const QStringList parts = t.split(QLatin1Char(','));
    for (const QString& raw : parts) {
        const QString name = raw.trimmed();
        if (name.isEmpty())
            continue;
        int ord = 0;
        if (!RbEnumValue(p, name, &ord)) {
            if (badName)
                *badName = name;
            return false;
        }
        result |= 1 << ord;
    }
    *bits = result;
    return true;
}

QString RbInvalidPropertyElement(const QString& name)
{
    return QStringLiteral("Invalid property element: %1").arg(name);
}

bool RbSetPropertyFromText(TRbPersistent& obj, const QString& name, const QString& text, QString* error)
{
    const TRbPropInfo* p = obj.Properties().Find(name);
    if (!p)
        return true;
    switch (p->Kind) {
    case TRbPropKind::Integer: {
        if (!p->SetInt)
            return true;
        bool ok = false;
        const int v = text.trimmed().toInt(&ok, 10);
        p->SetInt(&obj, ok ? v : 0);
        return true;
    }
    case TRbPropKind::Enumeration: {
        if (!p->SetInt)
            return true;
        int ord = 0;
        if (!RbEnumValue(*p, text.trimmed(), &ord)) {
            if (error)
                *error = RbInvalidPropertyElement(text.trimmed());
            return false;
        }
        p->SetInt(&obj, ord);
        return true;
    }
    case TRbPropKind::Set: {
        if (!p->SetInt)
            return true;
        int bits = 0;
        QString bad;
        if (!RbStringToSet(*p, text, &bits, &bad)) {
            if (error)
                *error = RbInvalidPropertyElement(bad);
            return false;
        }
        p->SetInt(&obj, bits);
        return true;
    }
    case TRbPropKind::String:
        if (p->SetString)
            p->SetString(&obj, text);
        return true;
    case TRbPropKind::Object:
        return true;
    }
    return true;
}
