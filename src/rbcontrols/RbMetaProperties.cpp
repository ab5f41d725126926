#include "rbcontrols/RbMetaProperties.h"

#include <QHash>
#include <QMetaEnum>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QWidget>

namespace {

// Enumerations and sets are stored as int whatever their C++ type.
bool IntLike(const QMetaType& t) { return t.sizeOf() == int(sizeof(int)); }

int EnumBits(const QVariant& v) { return IntLike(v.metaType()) ? *static_cast<const int*>(v.constData()) : 0; }

// Value of a case-insensitive key of e; false when there is none.
bool KeyValue(const QMetaEnum& e, QStringView name, int* value)
{
    for (int i = 0; i < e.keyCount(); ++i)
        if (name.compare(QLatin1String(e.key(i)), Qt::CaseInsensitive) == 0) {
            *value = e.value(i);
            return true;
        }
    return false;
}

} // namespace

TRbPropKind RbKindOf(const QMetaProperty& p)
{
    const QMetaType t = p.metaType();
    if (t.id() == QMetaType::Bool)
        return TRbPropKind::Enumeration;
    if (p.isEnumType())
        return p.enumerator().isFlag() ? TRbPropKind::Set : TRbPropKind::Enumeration;
    if (t.id() == QMetaType::Int)
        return TRbPropKind::Integer;
    if (t.id() == QMetaType::QString)
        return TRbPropKind::String;
    if (t.flags() & QMetaType::PointerToQObject)
        return TRbPropKind::Object;
    return TRbPropKind::Other;
}

TRbStyleObject::TRbStyleObject(QObject* object)
    : m_object(object), m_meta(object ? object->metaObject() : nullptr)
{
}

// Reading never changes the object; the meta-object calls take it non-const.
TRbStyleObject::TRbStyleObject(const QObject* object) : TRbStyleObject(const_cast<QObject*>(object)) {}

QString TRbStyleObject::SchemeClassName() const
{
    if (!m_meta)
        return QString();
    const int i = m_meta->indexOfClassInfo("SchemeName");
    return i >= 0 ? QString::fromLatin1(m_meta->classInfo(i).value()) : QString::fromLatin1(m_meta->className());
}

QList<QMetaProperty> TRbStyleObject::Properties() const
{
    QList<QMetaProperty> list;
    if (!m_meta)
        return list;
    // The style properties begin with the first class below Qt's own.
    const QMetaObject* top = m_meta;
    while (top->superClass() && top->superClass() != &QObject::staticMetaObject
           && top->superClass() != &QWidget::staticMetaObject)
        top = top->superClass();
    for (int i = top->propertyOffset(); i < m_meta->propertyCount(); ++i)
        list << m_meta->property(i);
    return list;
}

std::optional<QMetaProperty> TRbStyleObject::Find(QStringView name) const
{
    if (!m_meta)
        return std::nullopt;
    // Every restyle looks up each of the manager's properties on every
    // control: the answer of a class for a name is kept.
    static QHash<QPair<const QMetaObject*, QString>, int> known;
    const QPair<const QMetaObject*, QString> key(m_meta, name.toString().toLower());
    auto it = known.constFind(key);
    if (it == known.constEnd()) {
        int found = -1;
        const QMetaObject* top = m_meta;
        while (top->superClass() && top->superClass() != &QObject::staticMetaObject
               && top->superClass() != &QWidget::staticMetaObject)
            top = top->superClass();
        // Properties() from the end.
        for (int i = m_meta->propertyCount() - 1; i >= top->propertyOffset() && found < 0; --i)
            if (name.compare(QLatin1String(m_meta->property(i).name()), Qt::CaseInsensitive) == 0)
                found = i;
        it = known.insert(key, found);
    }
    if (*it < 0)
        return std::nullopt;
    return m_meta->property(*it);
}

QVariant TRbStyleObject::Read(const QMetaProperty& p) const
{
    return m_object ? p.read(m_object) : QVariant();
}

bool TRbStyleObject::Write(const QMetaProperty& p, const QVariant& value) const
{
    return m_object && p.isWritable() && p.write(m_object, value);
}

TRbStyleObject TRbStyleObject::Child(const QMetaProperty& p) const
{
    if (RbKindOf(p) != TRbPropKind::Object)
        return TRbStyleObject();
    return TRbStyleObject(qvariant_cast<QObject*>(Read(p)));
}

QString TRbStyleObject::ValueText(const QMetaProperty& p) const
{
    const QVariant v = Read(p);
    switch (RbKindOf(p)) {
    case TRbPropKind::Integer:
        return QString::number(v.toInt());
    case TRbPropKind::Enumeration:
        if (p.metaType().id() == QMetaType::Bool)
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return QString::fromLatin1(p.enumerator().valueToKey(EnumBits(v)));
    case TRbPropKind::Set: {
        const QMetaEnum e = p.enumerator();
        const int bits = EnumBits(v);
        QStringList on;
        for (int i = 0; i < e.keyCount(); ++i)
            if (e.value(i) != 0 && (bits & e.value(i)) == e.value(i))
                on << QString::fromLatin1(e.key(i));
        return on.join(QLatin1Char(','));
    }
    case TRbPropKind::String:
    case TRbPropKind::Object:
    case TRbPropKind::Other:
        break;
    }
    return QString();
}

bool TRbStyleObject::SetValueText(const QMetaProperty& p, const QString& text, QString* error) const
{
    auto invalid = [error](const QString& name) {
        if (error)
            *error = RbInvalidPropertyElement(name);
        return false;
    };
    switch (RbKindOf(p)) {
    case TRbPropKind::Integer: {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok, 10);
        Write(p, QVariant(ok ? v : 0));
        return true;
    }
    case TRbPropKind::Enumeration: {
        const QString name = text.trimmed();
        if (p.metaType().id() == QMetaType::Bool) {
            const bool isTrue = name.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
            if (!isTrue && name.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0)
                return invalid(name);
            Write(p, QVariant(isTrue));
            return true;
        }
        int value = 0;
        if (!KeyValue(p.enumerator(), name, &value))
            return invalid(name);
        Write(p, QVariant(p.metaType(), &value));
        return true;
    }
    case TRbPropKind::Set: {
        QString t = text.trimmed();
        if (t.startsWith(QLatin1Char('[')))
            t.remove(0, 1);
        if (t.endsWith(QLatin1Char(']')))
            t.chop(1);
        int bits = 0;
        for (const QString& raw : t.split(QLatin1Char(','))) {
            const QString name = raw.trimmed();
            if (name.isEmpty())
                continue;
            int value = 0;
            if (!KeyValue(p.enumerator(), name, &value))
                return invalid(name);
            bits |= value;
        }
        Write(p, QVariant(p.metaType(), &bits));
        return true;
    }
    case TRbPropKind::String:
        Write(p, QVariant(text));
        return true;
    case TRbPropKind::Object:
    case TRbPropKind::Other:
        break;
    }
    return true;
}

QString RbInvalidPropertyElement(const QString& name)
{
    return QStringLiteral("Invalid property element: %1").arg(name);
}

QString RbCannotAssign(const QString& sourceClass, const QString& targetClass)
{
    return QStringLiteral("Cannot assign a %1 to a %2.").arg(sourceClass, targetClass);
}
