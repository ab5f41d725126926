#pragma once

#include "RbColors.h"
#include "RbFont.h"
#include "RbProperties.h"
#include "RbTypes.h"

#include <QList>
#include <QObject>
#include <QString>

// The non-visual holder of a colour scheme. Controls that name a manager
// register with it; ApplyStyle copies the manager's values onto each of them
// by property name. Scheme files (".rbs") are read and written through the
// named-property tables only, so the keys follow the table order:
// section "RbControls", key = class name + kind letter + property name.
//
// Errors are returned, never thrown: false plus a readable text in *error.
class TRbStyleManager : public QObject, public TRbPersistent, public IRbStyleRegistry {
    Q_OBJECT
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
    void SetTag(int tag) { m_tag = tag; }
    TRbControlColors& Colors() { return m_colors; }
    const TRbControlColors& Colors() const { return m_colors; }
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool v) { m_showFocusRect = v; }
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool v) { m_hotTrack = v; }
    bool GradientBorder() const { return m_gradientBorder; }
    void SetGradientBorder(bool v) { m_gradientBorder = v; }
    bool TextShadow() const { return m_textShadow; }
    void SetTextShadow(bool v) { m_textShadow = v; }
    TColor CheckColor() const { return m_checkColor; }
    void SetCheckColor(TColor c) { m_checkColor = c; }
    TFadeSpeed FadeSpeed() const { return m_fadeSpeed; }
    void SetFadeSpeed(TFadeSpeed s) { m_fadeSpeed = s; }
    TColor PanelColor() const { return m_panelColor; }
    void SetPanelColor(TColor c) { m_panelColor = c; }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor c) { m_borderColor = c; }
    TRbSplitterColors& SplitterColors() { return m_splitterColors; }
    const TRbSplitterColors& SplitterColors() const { return m_splitterColors; }
    TRbFont& Font() { return m_font; }
    const TRbFont& Font() const { return m_font; }

    // The file given to the last LoadStyle or SaveStyle.
    QString StyleFileName() const { return m_styleFileName; }
    void SetStyleFileName(const QString& fileName) { m_styleFileName = fileName; }
    // The controls using this manager, in the order they registered.
    const QList<TRbPersistent*>& RegisteredControls() const { return m_controls; }

    // IRbStyleRegistry
    void RegisterControl(TRbPersistent* control) override;
    // Does nothing while the manager itself is being destroyed.
    void UnregisterControl(TRbPersistent* control) override;
    QObject* RegistryObject() override { return this; }

    // True while the owning window is being built; ApplyStyle then does nothing.
    bool Loading() const { return m_loading; }
    void SetLoading(bool on) { m_loading = on; }

    // Copies the scheme of another manager; any other source is refused.
    bool Assign(const TRbPersistent& source, QString* error = nullptr) override;

    // Writes the 27 values into section "RbControls" of fileName. An existing
    // file is updated in place: its other keys and sections stay as they are.
    bool SaveStyle(const QString& fileName, QString* error = nullptr);
    // Reads section "RbControls" into the properties it names; the others
    // keep their values. Does not apply the result.
    bool LoadStyle(const QString& fileName, QString* error = nullptr);
    // Copies the scheme onto every registered control.
    void ApplyStyle();

    QString ClassName() const override { return QStringLiteral("TRbStyleManager"); }
    const TRbPropertyTable& Properties() const override { return Table(); }
    static const TRbPropertyTable& Table();

    static QString SectionName() { return QStringLiteral("RbControls"); }

private:
    void ApplyTo(TRbPersistent& control);

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
    QList<TRbPersistent*> m_controls;
    bool m_loading = false;
    bool m_destroying = false;
};
