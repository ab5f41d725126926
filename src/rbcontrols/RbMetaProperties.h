#pragma once

#include <QList>
#include <QMetaProperty>
#include <QString>
#include <QVariant>
#include <optional>

class QObject;

// How a style property is stored in a scheme file: "N" integers (colours
// included), "E" enumerations (Boolean included), "S" sets. Strings and
// owned objects have no letter; an object is walked in place instead.
enum class TRbPropKind { Integer, Enumeration, Set, String, Object, Other };

TRbPropKind RbKindOf(const QMetaProperty& p);

// An object with style properties, seen through its meta-object: the
// manager, a colour set, the font or a control.
class TRbStyleObject {
public:
    TRbStyleObject() = default;
    TRbStyleObject(QObject* object);
    TRbStyleObject(const QObject* object);

    bool IsNull() const { return m_object == nullptr; }
    const QMetaObject* Meta() const { return m_meta; }
    QObject* Object() const { return m_object; }

    // The class name heading scheme keys: the class info "SchemeName" where
    // the file name differs from the C++ name ("TFont"), else the class name.
    QString SchemeClassName() const;

    // The style properties, the base class's first, each class's in
    // declaration order. Qt's own (objectName, the widget's) are not among them.
    QList<QMetaProperty> Properties() const;
    // Case-insensitive, as scheme files match names; a property declared
    // again in a derived class is found there.
    std::optional<QMetaProperty> Find(QStringView name) const;

    QVariant Read(const QMetaProperty& p) const;
    bool Write(const QMetaProperty& p, const QVariant& value) const;
    // What an Object property holds; null for any other kind.
    TRbStyleObject Child(const QMetaProperty& p) const;

    // The value as a scheme file writes it: a decimal integer, the name of
    // an enumeration value ("True", "fsMedium"), or set members in order
    // joined by "," ("fsBold,fsUnderline", "" for none). Empty otherwise.
    QString ValueText(const QMetaProperty& p) const;
    // Sets a property from its text by its kind: an integer that does not
    // parse is 0; names are matched case-insensitively and a set accepts
    // "[a, b]" too. False with *error on a name that is no value of the type.
    bool SetValueText(const QMetaProperty& p, const QString& text, QString* error = nullptr) const;

private:
    QObject* m_object = nullptr;
    const QMetaObject* m_meta = nullptr;
};

// The conversion error of enumeration and set values.
QString RbInvalidPropertyElement(const QString& name); // "Invalid property element: %s"
// The refusal of a copy between unrelated classes.
QString RbCannotAssign(const QString& sourceClass, const QString& targetClass);
