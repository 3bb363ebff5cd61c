// Builds Qt widgets from a dialog template at 2 pixels per dialog unit.
#pragma once

#include "res/resources.h"

#include <QFont>
#include <QHash>
#include <QWidget>

#include <functional>

inline constexpr int kPixelsPerDlu = 2;

QRect DluToPixels(const QRect& rcDlu);
QSize DluToPixels(const QSize& sizeDlu);

// The template's font face mapped to an installed one: the Chinese forms' face falls back to
// a font with CJK glyphs, Arial to a metric-compatible one.
QFont DialogFont(const QString& strFace, int nPointSize);
void RegisterFontSubstitutions();

// Makes the widget of a control that needs its own class; null for the standard one.
using ControlFactory = std::function<QWidget*(const res::CControlDef&, QWidget* pParent)>;

// Creates every control of the template as a child of pParent and returns them by id; the
// fixed captions (id -1) are created too but not returned. Statics become CStaticText.
QHash<int, QWidget*> BuildForm(const res::CDialogDef& def, QWidget* pParent,
                               const ControlFactory& factory = ControlFactory());
