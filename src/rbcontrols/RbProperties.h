#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <type_traits>

class QObject;
class TRbPersistent;

// Named style properties.
//
// Every styled class (the manager, the colour sets, the font, the controls)
// describes its style properties in a TRbPropertyTable: name, kind, getter and
// setter, in declaration order with the base class's entries first. The scheme
// reader and writer and the style application find properties by name through
// these tables only, so a new property needs one table line and nothing else.
//
// Kinds and their values:
//   Integer      int (colours included)              GetInt / SetInt
//   Enumeration  ordinal into Members (Boolean too)   GetInt / SetInt
//   Set          bit (1 << ordinal) per member        GetInt / SetInt
//   String       QString                              GetString / SetString
//   Object       an owned TRbPersistent               GetObject (copy with Assign)
// A null setter means read-only.
//
// Declaring a table (in the .cpp of the class):
//
//   const TRbPropertyTable& TRbButton::Properties() const { return Table(); }
//   const TRbPropertyTable& TRbButton::Table()
//   {
//       static const TRbPropertyTable t = TRbPropertyTable(&TRbCustomControl::Table())
//           .String<TRbButton>("Caption", &TRbButton::Caption, &TRbButton::SetCaption)
//           .Integer<TRbButton>("ModalResult", &TRbButton::ModalResult, &TRbButton::SetModalResult)
//           .Enumeration<TRbButton, TFadeSpeed>("FadeSpeed", FadeSpeedNames(),
//                                                &TRbButton::FadeSpeed, &TRbButton::SetFadeSpeed)
//           .Boolean<TRbButton>("HotTrack", &TRbButton::HotTrack, &TRbButton::SetHotTrack)
//           .Object<TRbButton>("Colors", [](TRbButton& b) -> TRbPersistent* { return &b.Colors(); });
//       return t;
//   }
//
// Using it (what a scheme writer or the style application does):
//
//   for (const TRbPropInfo& p : obj.Properties().All()) {
//       switch (p.Kind) {
//       case TRbPropKind::Integer:     write(obj.ClassName() + "N" + p.Name, p.GetInt(&obj)); break;
//       case TRbPropKind::Enumeration: write(... "E" ..., RbEnumName(p, p.GetInt(&obj))); break;
//       case TRbPropKind::Set:         write(... "S" ..., RbSetToString(p, p.GetInt(&obj))); break;
//       case TRbPropKind::Object:      recurse(*p.GetObject(&obj)); break;
//       case TRbPropKind::String:      break;
//       }
//   }
//   if (const TRbPropInfo* p = control.Properties().Find("HotTrack"); p && p->SetInt)
//       p->SetInt(&control, value);
//   RbSetPropertyFromText(obj, "FadeSpeed", "fsFast", &error);  // parses by kind

enum class TRbPropKind { Integer, Enumeration, Set, String, Object };

struct TRbPropInfo {
    QString Name;
    TRbPropKind Kind = TRbPropKind::Integer;
    QStringList Members; // value names of an enumeration, member names of a set
    std::function<int(const TRbPersistent*)> GetInt;
    std::function<void(TRbPersistent*, int)> SetInt;
    std::function<QString(const TRbPersistent*)> GetString;
    std::function<void(TRbPersistent*, const QString&)> SetString;
    std::function<TRbPersistent*(TRbPersistent*)> GetObject;

    bool ReadOnly() const { return Kind == TRbPropKind::Object ? false : (Kind == TRbPropKind::String ? !SetString : !SetInt); }
};

class TRbPropertyTable {
public:
    explicit TRbPropertyTable(const TRbPropertyTable* base = nullptr);

    // All properties, base class first, each in declaration order.
    const QVector<TRbPropInfo>& All() const { return m_props; }
    // Case-insensitive, as property names are in the scheme files.
    const TRbPropInfo* Find(const QString& name) const;

    TRbPropertyTable& Add(TRbPropInfo info);

    template <class C, class T = int, class G, class S>
    TRbPropertyTable& Integer(const QString& name, G get, S set)
    {
        return Add(Ordinal<C, T>(name, TRbPropKind::Integer, {}, get, set));
    }
    template <class C, class G, class S>
    TRbPropertyTable& Boolean(const QString& name, G get, S set)
    {
        return Add(Ordinal<C, bool>(name, TRbPropKind::Enumeration, {"False", "True"}, get, set));
    }
    template <class C, class T, class G, class S>
    TRbPropertyTable& Enumeration(const QString& name, const QStringList& members, G get, S set)
    {
        return Add(Ordinal<C, T>(name, TRbPropKind::Enumeration, members, get, set));
    }
    template <class C, class T = int, class G, class S>
    TRbPropertyTable& Set(const QString& name, const QStringList& members, G get, S set)
    {
        return Add(Ordinal<C, T>(name, TRbPropKind::Set, members, get, set));
    }
    template <class C, class G, class S>
    TRbPropertyTable& String(const QString& name, G get, S set)
    {
        TRbPropInfo p;
        p.Name = name;
        p.Kind = TRbPropKind::String;
        p.GetString = [get](const TRbPersistent* o) { return QString(std::invoke(get, *static_cast<const C*>(o))); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetString = [set](TRbPersistent* o, const QString& v) { std::invoke(set, *static_cast<C*>(o), v); };
        return Add(std::move(p));
    }
    // get: C& -> TRbPersistent* (the owned object)
    template <class C, class G>
    TRbPropertyTable& Object(const QString& name, G get)
    {
        TRbPropInfo p;
        p.Name = name;
        p.Kind = TRbPropKind::Object;
        p.GetObject = [get](TRbPersistent* o) -> TRbPersistent* { return std::invoke(get, *static_cast<C*>(o)); };
        return Add(std::move(p));
    }

private:
    template <class C, class T, class G, class S>
    static TRbPropInfo Ordinal(const QString& name, TRbPropKind kind, const QStringList& members, G get, S set)
    {
        TRbPropInfo p;
        p.Name = name;
        p.Kind = kind;
        p.Members = members;
        p.GetInt = [get](const TRbPersistent* o) { return int(std::invoke(get, *static_cast<const C*>(o))); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetInt = [set](TRbPersistent* o, int v) { std::invoke(set, *static_cast<C*>(o), static_cast<T>(v)); };
        return p;
    }

    QVector<TRbPropInfo> m_props;
};

// An object with named style properties.
class TRbPersistent {
public:
    virtual ~TRbPersistent() = default;
    // The name used as key prefix in scheme files ("TRbControlColors", "TFont"...).
    virtual QString ClassName() const = 0;
    virtual const TRbPropertyTable& Properties() const = 0;
    // Copies the style values of source into this object. The default refuses:
    // false, and *error says why ("Cannot assign a X to a Y.").
    virtual bool Assign(const TRbPersistent& source, QString* error = nullptr);
};

// Text of an enumeration value; empty when the ordinal is out of range.
QString RbEnumName(const TRbPropInfo& p, int ordinal);
// Ordinal of a value name, case-insensitive; false when not a member.
bool RbEnumValue(const TRbPropInfo& p, const QString& name, int* ordinal);
// Members in ordinal order joined by "," without blanks; "" for the empty set.
QString RbSetToString(const TRbPropInfo& p, int bits);
// Accepts "fsBold,fsItalic", "[fsBold, fsItalic]" and "". On an unknown member
// returns false and puts the offending name into *badName.
bool RbStringToSet(const TRbPropInfo& p, const QString& text, int* bits, QString* badName = nullptr);

// The conversion error of enumeration and set values.
QString RbInvalidPropertyElement(const QString& name); // "Invalid property element: %s"

// Sets a property of obj from its text form by kind: Integer parses decimal
// (0 when it does not parse), Enumeration and Set by names, String as is.
// False with *error on an invalid name; a missing or read-only property or an
// Object property does nothing and returns true.
bool RbSetPropertyFromText(TRbPersistent& obj, const QString& name, const QString& text, QString* error = nullptr);

// What a control needs of a style manager: registration. TRbStyleManager
// implements it; controls keep a pointer and drop it when RegistryObject()
// is destroyed.
class IRbStyleRegistry {
public:
    virtual void RegisterControl(TRbPersistent* control) = 0;
    virtual void UnregisterControl(TRbPersistent* control) = 0;
    virtual QObject* RegistryObject() = 0;

protected:
    ~IRbStyleRegistry() = default;
};
