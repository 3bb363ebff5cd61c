// The program's language-dependent resources: string tables, menus and dialog templates in
// Traditional Chinese (1028), English (1033) and Simplified Chinese (2052), and the
// language-neutral toolbar layout. Every lookup takes the variant of the applied language.
#pragma once

#include <QHash>
#include <QLocale>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace res {

inline constexpr int kLangCHT = 1028;
inline constexpr int kLangENG = 1033;
inline constexpr int kLangCHS = 2052;

// Makes nLangId (1028, 2052 or 1033) the language of every later lookup; other ids are
// ignored.
void ApplyInterfaceLanguage(int nLangId);
// The applied language, or with none applied the default for the system locale
// (zh_TW, zh_HK, zh_MO: 1028; other zh: 2052; anything else: 1033).
int ActiveLanguage();
// Forgets the applied language (for tests).
void ResetInterfaceLanguage();
// The language whose resources suit a locale: 1028 for Chinese of Taiwan, Hong Kong or Macao
// or in Traditional script, 2052 for any other Chinese, 1033 for everything else.
int DefaultLanguageForLocale(const QLocale& locale);

// A string of the active language's table; empty when the table has no such entry.
QString LoadString(int nId);
QString LoadString(int nId, int nLangId);

// Menus: a popup holds items; an item with command 0 is a separator.
struct CMenuItemDef
{
    int nCommand = 0;
    QString strText;
    bool bChecked = false;
};

struct CMenuPopupDef
{
    QString strText;
    std::vector<CMenuItemDef> items;
};

// Menu nId (128) in the active language; empty if there is none.
std::vector<CMenuPopupDef> LoadMenu(int nId);
std::vector<CMenuPopupDef> LoadMenu(int nId, int nLangId);

// Dialog templates. Positions are in dialog units; the form builder places controls at
// 2 pixels per unit.
enum class EControlKind
{
    Static,       // text label
    Icon,         // static showing the program's icon
    Edit,
    PushButton,
    DefPushButton,
    CheckBox,
    DropList,     // drop-down list, not editable
    HScrollBar,
    GroupBox,
    Frame,        // static drawn as a sunken or etched rectangle (a colour swatch)
};

// Style flags of a control.
enum EControlStyle : unsigned
{
    kStyleLeft = 0x0000,
    kStyleCenter = 0x0001,
    kStyleRight = 0x0002,
    kStyleVCenter = 0x0004,    // static: text centred vertically
    kStyleBorder = 0x0008,
    kStyleReadOnly = 0x0010,   // edit
    kStyleAutoHScroll = 0x0020,
    kStyleTabStop = 0x0040,
    kStyleGroup = 0x0080,
    kStyleNoPrefix = 0x0100,   // static: '&' is shown, not a mnemonic
    kStyleNotify = 0x0200,     // static: reports clicks
    kStyleNumber = 0x0400,     // edit: digits only
    kStyleVScroll = 0x0800,
    kStyleHidden = 0x1000,
};

inline constexpr int kIdStatic = -1; // fixed captions

struct CControlDef
{
    int nId = kIdStatic;
    EControlKind eKind = EControlKind::Static;
    unsigned nStyle = 0;
    QRect rcDlu; // x, y, width, height in dialog units
    QString strText;
};

struct CDialogDef
{
    int nId = 0;
    QSize sizeDlu;
    QString strFontFace;
    int nPointSize = 9;
    QString strCaption;
    std::vector<CControlDef> controls; // in tab order
};

// Dialog nId (100, 130, 135, 136, 137) in the active language; null if there is none.
const CDialogDef* FindDialog(int nId);
const CDialogDef* FindDialog(int nId, int nLangId);

// Names for assistive technology of dialog nId's controls that show no text naming them
// (readouts, boxes beside their captions, buttons with symbols), by control id.
QHash<int, QString> ControlNames(int nId);
QHash<int, QString> ControlNames(int nId, int nLangId);

// Toolbar 128: command ids in order, 0 for a separator.
const std::vector<int>& ToolbarCommands();

} // namespace res
