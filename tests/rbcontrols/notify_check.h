#pragma once

#include <QMetaEnum>
#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Checks of property change signals through the meta-object, so a property
// added later is checked without a test of its own.
namespace notifytest {

// The properties the object's own classes declare (not QObject's or QWidget's).
inline std::vector<QMetaProperty> OwnProperties(const QObject& obj)
{
    const QMetaObject* meta = obj.metaObject();
    const QMetaObject* top = meta;
    while (top->superClass() && top->superClass() != &QObject::staticMetaObject
           && top->superClass() != &QWidget::staticMetaObject)
        top = top->superClass();
    std::vector<QMetaProperty> list;
    for (int i = top->propertyOffset(); i < meta->propertyCount(); ++i)
        list.push_back(meta->property(i));
    return list;
}

inline int RawInt(const QVariant& v) { return *static_cast<const int*>(v.constData()); }

// A value of p's type other than current: the other truth value, the next
// enumeration value, one more set member toggled, one more, one letter more.
// Invalid for a type it does not know.
inline QVariant OtherValue(const QMetaProperty& p, const QVariant& current)
{
    const QMetaType t = p.metaType();
    if (t.id() == QMetaType::Bool)
        return !current.toBool();
    if (p.isEnumType()) {
        const QMetaEnum e = p.enumerator();
        const int now = RawInt(current);
        int next = now;
        if (e.isFlag()) {
            for (int i = 0; i < e.keyCount() && next == now; ++i)
                if (e.value(i) != 0)
                    next = now ^ e.value(i);
        } else {
            for (int i = 0; i < e.keyCount(); ++i)
                if (e.value(i) == now)
                    next = e.value((i + 1) % e.keyCount());
        }
        return QVariant(t, &next);
    }
    if (t.id() == QMetaType::Int)
        return current.toInt() + 1;
    if (t.id() == QMetaType::QString)
        return current.toString() + QLatin1Char('x');
    return QVariant();
}

using TFired = std::vector<std::string>;

// One spy on the change signal of every property that has one.
struct TAllSpies {
    explicit TAllSpies(QObject& obj)
    {
        for (const QMetaProperty& p : OwnProperties(obj))
            if (p.hasNotifySignal())
                spies.emplace_back(p.name(), std::make_unique<QSignalSpy>(&obj, p.notifySignal()));
    }
    // "name xN" of every signal that came, in property order.
    TFired Fired() const
    {
        TFired out;
        for (const auto& [name, spy] : spies)
            if (spy->count() > 0)
                out.push_back(std::string(name) + " x" + std::to_string(spy->count()));
        return out;
    }
    std::vector<std::pair<const char*, std::unique_ptr<QSignalSpy>>> spies;
};

// Every writable property has a change signal; reading emits none; writing
// a different value emits the property's own signal once and writing that
// value again emits nothing. Owned objects are constant. prepare[name] runs
// before the write of that property, for one that takes a value only in
// some state.
inline void CheckEveryProperty(QObject& obj, const std::map<QString, std::function<void()>>& prepare = {})
{
    const std::vector<QMetaProperty> props = OwnProperties(obj);
    ASSERT_FALSE(props.empty());
    {
        TAllSpies all(obj);
        for (const QMetaProperty& p : props)
            p.read(&obj);
        EXPECT_EQ(all.Fired(), TFired()) << "reading emits nothing";
    }
    for (const QMetaProperty& p : props) {
        SCOPED_TRACE(p.name());
        if (!p.isWritable()) {
            if (p.metaType().flags() & QMetaType::PointerToQObject) {
                EXPECT_TRUE(p.isConstant()) << "an owned object stays the same";
            }
            continue;
        }
        ASSERT_TRUE(p.hasNotifySignal());
        if (const auto it = prepare.find(QString::fromLatin1(p.name())); it != prepare.end())
            it->second();
        const QVariant before = p.read(&obj);
        const QVariant other = OtherValue(p, before);
        ASSERT_TRUE(other.isValid()) << "no other value known for this type";
        QSignalSpy spy(&obj, p.notifySignal());
        ASSERT_TRUE(spy.isValid());
        EXPECT_TRUE(p.write(&obj, other));
        const QVariant after = p.read(&obj);
        ASSERT_NE(after, before) << "the write was refused: the check needs a value it takes";
        EXPECT_EQ(spy.count(), 1) << "a change is told once";
        EXPECT_TRUE(p.write(&obj, after));
        EXPECT_EQ(p.read(&obj), after);
        EXPECT_EQ(spy.count(), 1) << "the same value again is no change";
    }
}

} // namespace notifytest
