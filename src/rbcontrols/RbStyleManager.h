#pragma once

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbFont.h"
#include "rbcontrols/RbManagerLink.h"
#include "rbcontrols/RbTypes.h"

#include <QList>
#include <QObject>
#include <QString>

// The non-visual holder of a colour scheme. Controls that name a manager
// register with it; ApplyStyle copies the manager's values onto each of them
// by property name. Scheme files (".rbs") are read and written by walking
// the meta-object's properties, so the keys follow their declaration order:
// section "RbControls", key = class name + kind letter + property name.
//
// Errors are returned, never thrown: false plus a readable text in *error.
class TRbStyleManager : public QObject, public IRbStyleRegistry {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName NOTIFY nameChanged)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag NOTIFY tagChanged)
    Q_PROPERTY(TRbControlColors* Colors READ ColorsObject CONSTANT)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect NOTIFY showFocusRectChanged)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack NOTIFY hotTrackChanged)
    Q_PROPERTY(bool GradientBorder READ GradientBorder WRITE SetGradientBorder NOTIFY gradientBorderChanged)
    Q_PROPERTY(bool TextShadow READ TextShadow WRITE SetTextShadow NOTIFY textShadowChanged)
    Q_PROPERTY(TColor CheckColor READ CheckColor WRITE SetCheckColor NOTIFY checkColorChanged)
    Q_PROPERTY(RbEnums::TFadeSpeed FadeSpeed READ FadeSpeed WRITE SetFadeSpeed NOTIFY fadeSpeedChanged)
    Q_PROPERTY(TColor PanelColor READ PanelColor WRITE SetPanelColor NOTIFY panelColorChanged)
    Q_PROPERTY(TColor BorderColor READ BorderColor WRITE SetBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(TRbSplitterColors* SplitterColors READ SplitterColorsObject CONSTANT)
    Q_PROPERTY(TRbFont* Font READ FontObject CONSTANT)
public:
    explicit TRbStyleManager(QObject* parent = nullptr);
    ~TRbStyleManager() override;

    // The three sets of values a manager is built with. A new manager has the
    // class defaults; the main window's and the scheme editor's managers are
    // then given theirs.
    void SetClassDefaults();
    void SetMainWindowValues();
    void SetEditorValues();

    // --- named properties, in declaration order (the order of the file keys)
    QString Name() const { return objectName(); }
    void SetName(const QString& name) { setObjectName(name); }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { Change(m_tag, tag, &TRbStyleManager::tagChanged); }
    TRbControlColors& Colors() { return m_colors; }
    const TRbControlColors& Colors() const { return m_colors; }
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool v) { Change(m_showFocusRect, v, &TRbStyleManager::showFocusRectChanged); }
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool v) { Change(m_hotTrack, v, &TRbStyleManager::hotTrackChanged); }
    bool GradientBorder() const { return m_gradientBorder; }
    void SetGradientBorder(bool v) { Change(m_gradientBorder, v, &TRbStyleManager::gradientBorderChanged); }
    bool TextShadow() const { return m_textShadow; }
    void SetTextShadow(bool v) { Change(m_textShadow, v, &TRbStyleManager::textShadowChanged); }
    TColor CheckColor() const { return m_checkColor; }
    void SetCheckColor(TColor c) { Change(m_checkColor, c, &TRbStyleManager::checkColorChanged); }
    TFadeSpeed FadeSpeed() const { return m_fadeSpeed; }
    void SetFadeSpeed(TFadeSpeed s) { Change(m_fadeSpeed, s, &TRbStyleManager::fadeSpeedChanged); }
    TColor PanelColor() const { return m_panelColor; }
    void SetPanelColor(TColor c) { Change(m_panelColor, c, &TRbStyleManager::panelColorChanged); }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor c) { Change(m_borderColor, c, &TRbStyleManager::borderColorChanged); }
    TRbSplitterColors& SplitterColors() { return m_splitterColors; }
    const TRbSplitterColors& SplitterColors() const { return m_splitterColors; }
    TRbFont& Font() { return m_font; }
    const TRbFont& Font() const { return m_font; }

    // The file given to the last LoadStyle or SaveStyle.
    QString StyleFileName() const { return m_styleFileName; }
    void SetStyleFileName(const QString& fileName) { m_styleFileName = fileName; }
    // The controls using this manager, in the order they registered.
    const QList<QObject*>& RegisteredControls() const { return m_controls; }

    // IRbStyleRegistry
    void RegisterControl(QObject* control) override;
    // Does nothing while the manager itself is being destroyed.
    void UnregisterControl(QObject* control) override;
    QObject* RegistryObject() override { return this; }

    // True while the owning window is being built; ApplyStyle then does nothing.
    bool Loading() const { return m_loading; }
    void SetLoading(bool on) { m_loading = on; }

    // Copies the scheme of another manager (every property but Name and Tag;
    // colour sets and font as stored values); any other source is refused.
    bool Assign(const QObject& source, QString* error = nullptr);

    // Writes the 27 values into section "RbControls" of fileName. An existing
    // file is updated in place: its other keys and sections stay as they are.
    bool SaveStyle(const QString& fileName, QString* error = nullptr);
    // Reads section "RbControls" into the properties it names; the others
    // keep their values. Does not apply the result.
    bool LoadStyle(const QString& fileName, QString* error = nullptr);
    // Copies the scheme onto every registered control.
    void ApplyStyle();

    static QString SectionName() { return QStringLiteral("RbControls"); }

signals:
    // The named values; nothing is applied to the controls by itself.
    void nameChanged();
    void tagChanged();
    void showFocusRectChanged();
    void hotTrackChanged();
    void gradientBorderChanged();
    void textShadowChanged();
    void checkColorChanged();
    void fadeSpeedChanged();
    void panelColorChanged();
    void borderColorChanged();

private:
    template <class T> void Change(T& field, T value, void (TRbStyleManager::*notify)())
    {
        if (field == value)
            return;
        field = value;
        (this->*notify)();
    }
    void ApplyTo(QObject& control);
    TRbControlColors* ColorsObject() { return &m_colors; }
    TRbSplitterColors* SplitterColorsObject() { return &m_splitterColors; }
    TRbFont* FontObject() { return &m_font; }

    int m_tag = 0;
    TRbControlColors m_colors;
    bool m_showFocusRect = true;
    bool m_hotTrack = false;
    bool m_gradientBorder = true;
    bool m_textShadow = true;
    TColor m_checkColor = clGreen;
    TFadeSpeed m_fadeSpeed = fsMedium;
    TColor m_panelColor = 14933983;
    TColor m_borderColor = clGray;
    TRbSplitterColors m_splitterColors;
    TRbFont m_font;

    QString m_styleFileName;
    QList<QObject*> m_controls;
    bool m_loading = false;
    bool m_destroying = false;
};

// Copies the whole scheme of source into dest through the setters, walking
// the same properties a scheme file holds (the font's face name too), and
// StyleFileName. Registered controls are left as they are; dest's
// ApplyStyle shows the result.
void CopySchemeProperties(const TRbStyleManager& source, TRbStyleManager& dest);
